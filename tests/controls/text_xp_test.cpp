// The framed text box: placement, frame colours, forwarded properties, its
// re-raised events and its stored properties.

#include "controls/text_xp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "controls/register_controls.h"
#include "platform/vb_error.h"
#include "toolkit/description.h"
#include "toolkit/form.h"

namespace controls {
namespace {

using tk::Rgb;

constexpr char kDescription[] = R"(Begin Form frmTest
  ClientWidth = 6000
  ClientHeight = 3000
  Font = "Arial" 10 400 238
  Begin TextXP txtMaxVal
    Left = 90
    Top = 30
    Width = 1140
    Height = 360
    TabIndex = 0
    _extentx = 2011
    _extenty = 635
    backcolor = &H00FFFFFF&
    locked = 0
    text = ""
    bordercolor = &H00000000&
    bordercolorover = &H00000000&
  End
  Begin TextXP txtOther
    Left = 90
    Top = 600
    Width = 1140
    Height = 360
    TabIndex = 1
    _extentx = 2011
    _extenty = 635
    locked = 0
  End
End
)";

class TextXPTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterControls();
    form_ = tk::LoadForm(kDescription, "test.frm");
    max_ = &form_->Get<TextXP>("txtMaxVal");
    other_ = &form_->Get<TextXP>("txtOther");
    for (TextXP* t : {max_, other_}) {
      t->PropertyChangedHook = [this, t](const std::string& name) {
        notices_.push_back(t->Name() + "." + name);
      };
    }
    form_->Show();
    QApplication::processEvents();
  }
  QRgb At(TextXP& t, int x, int y) { return t.Image().pixel(x, y) & 0xFFFFFF; }
  // The four frame lines' colour in the image, or 1 when they differ.
  static QRgb FrameOf(const QImage& image) {
    const int w = image.width(), h = image.height();
    auto at = [&](QPoint p) { return image.pixel(p) & 0xFFFFFF; };
    const QRgb c = at(QPoint(w / 2, 0));
    for (QPoint p : {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1), QPoint(0, 0),
                     QPoint(w - 1, h - 1)}) {
      if (at(p) != c) return 1;
    }
    return c;
  }
  QRgb Frame(TextXP& t) { return FrameOf(t.Image()); }
  // As the window shows it, the inner box included.
  QRgb ShownFrame(TextXP& t) { return FrameOf(t.widget()->grab().toImage()); }
  void Resize(TextXP& t, int height_twips) {
    t.SetHeight(height_twips);
    QApplication::processEvents();
  }
  bool Activate() {
    form_->widget()->activateWindow();
    return QTest::qWaitForWindowActive(form_->widget()->window());
  }

  std::unique_ptr<tk::Form> form_;
  TextXP* max_ = nullptr;
  TextXP* other_ = nullptr;
  std::vector<std::string> notices_;  // "control.property", as notified
};

TEST_F(TextXPTest, MaximumBoxAsStored) {
  tk::TextBox& box = max_->MyTxt();
  EXPECT_EQ(box.Left(), 60);
  EXPECT_EQ(box.Top(), 60);
  EXPECT_EQ(box.Width(), 1020);
  EXPECT_EQ(box.Height(), 80);
  EXPECT_EQ(max_->Image().width(), 76);
  EXPECT_EQ(max_->Image().height(), 24);
  EXPECT_EQ(Frame(*max_), 0x000000u);
  EXPECT_EQ(ShownFrame(*max_), 0x000000u);  // the box, lower than a line, covers none of it
  EXPECT_EQ(At(*max_, 1, 1), 0xFFFFFFu);    // the white surface inside
  EXPECT_EQ(At(*max_, 1, 22), 0xFFFFFFu);
  EXPECT_EQ(max_->Text(), "");
  EXPECT_EQ(box.BackColor(), Rgb(255, 255, 255));
  EXPECT_TRUE(box.Enabled());
  EXPECT_EQ(max_->Font().name, "Arial");  // the container's font

  ASSERT_TRUE(Activate());
  max_->MyTxt().SetFocus();
  QApplication::processEvents();
  EXPECT_EQ(Frame(*max_), 0x000000u);
  other_->MyTxt().SetFocus();
  QApplication::processEvents();
  EXPECT_EQ(Frame(*max_), 0x000000u);
}

TEST_F(TextXPTest, FrameFollowsTheFocus) {
  EXPECT_EQ(Frame(*other_), 0x7F9DB9u);  // the defaults
  ASSERT_TRUE(Activate());
  other_->MyTxt().SetFocus();
  QApplication::processEvents();
  EXPECT_EQ(Frame(*other_), 0xB0D0F0u);
  // A new focus colour shows only when the focus comes back.
  other_->SetBorderColorFocus(Rgb(255, 0, 0));
  EXPECT_EQ(Frame(*other_), 0xB0D0F0u);
  // The Tab keys that move the focus on are heard by neither box.
  std::vector<int> heard;
  for (TextXP* t : {max_, other_}) {
    t->KeyPress = [&](int16_t& key_ascii) { heard.push_back(key_ascii); };
    t->MyTxt().KeyDown = [&](int16_t& key_code, int16_t&) { heard.push_back(key_code); };
  }
  QTest::keyClick(other_->MyTxt().widget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QApplication::processEvents();
  EXPECT_EQ(form_->ActiveControl(), max_);
  EXPECT_EQ(Frame(*other_), 0x7F9DB9u);
  QTest::keyClick(max_->MyTxt().widget(), Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(form_->ActiveControl(), other_);
  EXPECT_EQ(Frame(*other_), 0xFF0000u);
  EXPECT_EQ(heard, std::vector<int>{16});  // only the Shift held for Shift+Tab
  EXPECT_EQ(notices_, (std::vector<std::string>{"txtOther.BorderColorOver"}));
}

TEST_F(TextXPTest, AlignmentAboveTwoBecomesLeft) {
  for (int a : {0, 1, 2}) {
    max_->SetAlignment(static_cast<int16_t>(a));
    EXPECT_EQ(max_->Alignment(), a);
  }
  max_->SetAlignment(3);
  EXPECT_EQ(max_->Alignment(), 0);
  max_->SetAlignment(2);
  max_->SetAlignment(300);
  EXPECT_EQ(max_->Alignment(), 0);
  notices_.clear();
  // A negative value passes the clamp and the box refuses it: no notice.
  try {
    max_->SetAlignment(-1);
    ADD_FAILURE() << "no error";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::kErrInvalidPropertyValue);
  }
  EXPECT_TRUE(notices_.empty());
}

TEST_F(TextXPTest, ValueIsTheNumberAtTheStart) {
  max_->SetText("12,5");
  EXPECT_EQ(max_->Value(), 12);
  max_->SetText("abc");
  EXPECT_EQ(max_->Value(), 0);
  max_->SetText("");
  EXPECT_EQ(max_->Value(), 0);
  max_->SetText("  7.25kg");
  EXPECT_EQ(max_->Value(), 7.25);
  max_->SetValue(12.5);
  EXPECT_EQ(max_->Text(), "12.5");
  max_->SetValue(-250);
  EXPECT_EQ(max_->Text(), "-250");
}

TEST_F(TextXPTest, ChangeComesBeforeTheNotice) {
  std::vector<std::string> seen;
  max_->Change = [&] { seen.push_back("Change"); };
  max_->PropertyChangedHook = [&](const std::string& name) { seen.push_back(name); };
  max_->SetText("123");
  EXPECT_EQ(seen, (std::vector<std::string>{"Change", "Text"}));
  seen.clear();
  max_->SetText("123");  // the same text: no Change
  EXPECT_EQ(seen, (std::vector<std::string>{"Text"}));
  seen.clear();
  max_->SetValue(4);
  EXPECT_EQ(seen, (std::vector<std::string>{"Change", "Value"}));
}

TEST_F(TextXPTest, EnabledDrawsAFixedFrameUntilTheNextRedraw) {
  max_->SetEnabled(false);
  EXPECT_FALSE(max_->MyTxt().Enabled());
  EXPECT_EQ(Frame(*max_), 0xBFA780u);
  Resize(*max_, 375);
  EXPECT_EQ(Frame(*max_), 0x000000u);
  EXPECT_TRUE(max_->MyTxt().Enabled());  // the normal look enables it again

  max_->SetEnabled(true);
  EXPECT_EQ(Frame(*max_), 0x7F9DB9u);
  Resize(*max_, 360);
  EXPECT_EQ(Frame(*max_), 0x000000u);
  EXPECT_EQ(notices_, (std::vector<std::string>{"txtMaxVal.Enabled", "txtMaxVal.Enabled"}));
}

TEST_F(TextXPTest, LockedShowsAtTheNextRedraw) {
  max_->SetLocked(true);
  EXPECT_TRUE(max_->MyTxt().Enabled());
  EXPECT_EQ(max_->MyTxt().BackColor(), Rgb(255, 255, 255));
  max_->SetBorderColor(Rgb(0, 0, 255));
  EXPECT_FALSE(max_->MyTxt().Enabled());
  EXPECT_EQ(max_->MyTxt().BackColor(), Rgb(0xEB, 0xEB, 0xE4));
  EXPECT_EQ(max_->ForeColor(), Rgb(0xA1, 0xA1, 0x92));
  EXPECT_TRUE(max_->Locked());
  EXPECT_EQ(Frame(*max_), 0x0000FFu);

  max_->SetLocked(false);
  Resize(*max_, 390);
  EXPECT_TRUE(max_->MyTxt().Enabled());
  EXPECT_EQ(max_->MyTxt().BackColor(), Rgb(255, 255, 255));
  EXPECT_EQ(max_->ForeColor(), Rgb(0xA1, 0xA1, 0x92));  // until ForeColor is set
  max_->SetForeColor(Rgb(0, 0, 0));
  EXPECT_EQ(max_->ForeColor(), Rgb(0, 0, 0));
}

TEST_F(TextXPTest, HostCancelsKeysBySettingKeyAsciiToZero) {
  std::vector<int> keys;
  max_->KeyPress = [&](int16_t& key_ascii) {
    if (key_ascii < 28) return;  // control keys, Ctrl+V among them
    keys.push_back(key_ascii);
    if (key_ascii < '0' || key_ascii > '9') key_ascii = 0;
  };
  QWidget* inner = max_->MyTxt().widget();
  QTest::keyClicks(inner, "1a2-3");
  EXPECT_EQ(max_->Text(), "123");
  EXPECT_EQ(keys, (std::vector<int>{'1', 'a', '2', '-', '3'}));
  keys.clear();
  // A letter that windows-1250 lacks comes as "?".
  QTest::sendKeyEvent(QTest::Press, inner, Qt::Key_unknown, QString::fromUtf8("ж"), {});
  EXPECT_EQ(max_->Text(), "123");
  // A paste or a drop goes in whole or not at all; a trailing line break
  // does not count.
  QApplication::clipboard()->setText("4b");
  QTest::keyClick(inner, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(max_->Text(), "123");
  QApplication::clipboard()->setText("45\n");
  QTest::keyClick(inner, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(max_->Text(), "12345");
  QApplication::clipboard()->setText("6\t7");
  QTest::keyClick(inner, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(max_->Text(), "12345");
  QMimeData dropped;
  dropped.setText("x");
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, {});
  QApplication::sendEvent(inner, &enter);
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, {});
  QApplication::sendEvent(inner, &drop);
  EXPECT_EQ(max_->Text(), "12345");
  // An input method's text is typed text: each character on its own.
  static_cast<QLineEdit*>(inner)->end(false);  // the drag moved the caret
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("6ж7"));
  QApplication::sendEvent(inner, &commit);
  EXPECT_EQ(max_->Text(), "1234567");
  EXPECT_EQ(keys, (std::vector<int>{'?', '4', 'b', '4', '5', 'x', '6', '?', '7'}));
}

TEST_F(TextXPTest, InnerEventsAreRaisedAsTheControlsOwn) {
  int changes = 0, clicks = 0, double_clicks = 0;
  std::vector<std::string> moves;
  max_->Change = [&] { ++changes; };
  max_->Click = [&] { ++clicks; };
  max_->DblClick = [&] { ++double_clicks; };
  max_->MouseMove = [&](int16_t& b, int16_t&, float& x, float& y) {
    moves.push_back(std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + " " +
                    std::to_string(static_cast<int>(y)));
  };
  QTest::keyClicks(max_->MyTxt().widget(), "45");
  EXPECT_EQ(changes, 2);
  QTest::mouseClick(max_->MyTxt().widget(), Qt::LeftButton, {}, QPoint(3, 2));
  EXPECT_EQ(clicks, 1);
  QTest::mouseDClick(max_->MyTxt().widget(), Qt::LeftButton, {}, QPoint(3, 2));
  EXPECT_EQ(double_clicks, 1);
  QMouseEvent move(QEvent::MouseMove, QPointF(2, 1), QPointF(2, 1), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(max_->MyTxt().widget(), &move);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), "0 30 15");  // the inner box's own coordinates, in twips
}

TEST_F(TextXPTest, StoredPropertiesRoundTrip) {
  max_->SetText("654321");
  max_->SetMaxLength(6);
  max_->SetToolTipText("maks");
  max_->SetAlignment(1);
  max_->SetSelStart(0);
  tk::PropertyBag bag;
  max_->SaveProperties(bag);
  std::vector<std::string> keys;
  for (const auto& e : bag.entries()) keys.push_back(e.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"_extentx", "_extenty", "alignment", "backcolor",
                                            "locked", "maxlength", "text", "tooltiptext", "value",
                                            "bordercolor", "bordercolorover"}));
  EXPECT_EQ(bag.ReadProperty("value", 0.0), 654321.0);

  // "value" is stored but not read back: the text comes from "text" alone.
  bag.Set("value", 5.0);
  TextXP copy("txtCopy", -1);
  copy.SetAmbientSource(form_.get(), form_.get());
  copy.PropertyChangedHook = [](const std::string& name) { ADD_FAILURE() << name; };
  copy.LoadProperties(&bag);
  EXPECT_EQ(copy.Text(), "654321");
  EXPECT_EQ(copy.MaxLength(), 6);
  EXPECT_EQ(copy.ToolTipText(), "maks");
  EXPECT_EQ(copy.Alignment(), 1);
  EXPECT_EQ(copy.BorderColor(), 0u);
  EXPECT_EQ(copy.BorderColorFocus(), 0u);
  EXPECT_EQ(copy.Width(), 1140);
  EXPECT_EQ(copy.Height(), 360);
}

TEST_F(TextXPTest, DefaultsOfAnEmptyStoreAndOfANewControl) {
  tk::PropertyBag empty;
  TextXP stored("txtStored", -1);
  stored.SetAmbientSource(form_.get(), form_.get());
  stored.LoadProperties(&empty);
  EXPECT_EQ(stored.Text(), "Text1");
  EXPECT_EQ(stored.Font(), form_->Font());
  EXPECT_EQ(stored.MyTxt().BackColor(), tk::SystemColour(5));
  EXPECT_EQ(stored.ForeColor(), tk::SystemColour(8));
  EXPECT_EQ(stored.BorderColor(), Rgb(0x7F, 0x9D, 0xB9));
  EXPECT_EQ(stored.BorderColorFocus(), Rgb(0xB0, 0xD0, 0xF0));
  tk::PropertyBag written;
  stored.UserControl_WriteProperties(written);
  EXPECT_NE(written.Find("locked"), nullptr);  // always stored
  for (const char* key : {"text", "backcolor", "font", "forecolor", "enabled", "alignment",
                          "bordercolor", "bordercolorover", "value", "maxlength"}) {
    EXPECT_EQ(written.Find(key), nullptr) << key;
  }

  TextXP fresh("TextXP1", -1);
  fresh.LoadProperties(nullptr);
  EXPECT_EQ(fresh.Text(), "Text");
  EXPECT_EQ(fresh.Height(), 330);
  EXPECT_EQ(fresh.Font().name, "Verdana");
  EXPECT_EQ(fresh.BorderColor(), Rgb(0x7F, 0x9D, 0xB9));
  TextXP named("TextXPPane42", -1);
  named.LoadProperties(nullptr);
  EXPECT_EQ(named.Text(), "Text42");
}

TEST_F(TextXPTest, TooSmallForTheMarginsKeepsTheOldSize) {
  Resize(*max_, 200);  // 200 - 280 < 0: the box refuses, keeps 80
  EXPECT_EQ(max_->MyTxt().Height(), 80);
  EXPECT_EQ(max_->MyTxt().Top(), 60);
  EXPECT_EQ(Frame(*max_), 0x000000u);
  max_->SetWidth(105);  // 7 pixels
  QApplication::processEvents();
  EXPECT_EQ(max_->MyTxt().Width(), 1020);
  EXPECT_EQ(ShownFrame(*max_), 0x000000u);
}

TEST_F(TextXPTest, AStoredBackColourIsReplacedAtTheFirstRedraw) {
  tk::PropertyBag bag;
  bag.Set("backcolor", static_cast<double>(Rgb(1, 2, 3)));
  TextXP t("txtBack", -1);
  t.LoadProperties(&bag);
  EXPECT_EQ(t.MyTxt().BackColor(), Rgb(1, 2, 3));
  t.UserControl_Resize();
  EXPECT_EQ(t.MyTxt().BackColor(), Rgb(255, 255, 255));
}

}  // namespace
}  // namespace controls
