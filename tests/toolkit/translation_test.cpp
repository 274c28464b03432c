// The language service walks a real window.
#include <gtest/gtest.h>

#include <string>

#include "settings/language.h"
#include "support/temp_folder.h"
#include "toolkit/description.h"

namespace tk {
namespace {

const char kWindow[] = R"(Begin Form frmWykresy
  Caption = "Form1"
  Tag = "wykresy"
  Begin Label Label1
    Caption = "Zamknij to okno"
    Tag = "zamknij_okno"
  End
  Begin Label Label2
    Caption = "bez tagu"
  End
  Begin ListBox List1
    Tag = "lista"
  End
  Begin Frame Frame1
    Caption = "Ramka"
    Tag = "ramka"
  End
  Begin Image Image1
  End
End
)";

TEST(TranslationTest, TaggedCaptionsComeFromTheLanguageFile) {
  testing_support::TempFolder dir;
  const std::string path = dir.File("set.lng");
  testing_support::WriteBytes(path, "[wykresy]\r\nzamknij_okno=Close this window\r\n");
  const std::string saved = settings::LanguageFile;
  settings::LanguageFile = path;
  auto form = LoadForm(kWindow, "wykresy.frm");
  settings::TranslateControls(form->Tag(), *form, form->Caption());
  settings::LanguageFile = saved;
  EXPECT_EQ(form->Get("Label1").Caption(), "Close this window");
  EXPECT_EQ(form->Get("Label2").Caption(), "bez tagu");
  EXPECT_EQ(form->Get("Frame1").Caption(), "Ramka");  // written to the file with its design text
  EXPECT_EQ(form->Caption(), "Form1");
  const std::string written = testing_support::ReadBytes(path);
  EXPECT_NE(written.find("ramka=Ramka"), std::string::npos) << written;
  EXPECT_EQ(written.find("lista"), std::string::npos) << written;  // a list has no caption
}

}  // namespace
}  // namespace tk
