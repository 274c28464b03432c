// Start-up and closing of the main window, and the wait banner.

#include <QRegion>
#include <QWidget>

#include "controls/register_controls.h"
#include "platform/files.h"
#include "settings/ini.h"
#include "settings/language.h"
#include "settings/startup_params.h"
#include "ui/chart_window.h"
#include "ui/key_window.h"
#include "ui/pictures.h"

static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace ui {

void PrepareWindowResources() {
  static bool done = false;
  if (done) return;
  done = true;
  InitUiResources();
  controls::RegisterControls();
  RegisterPictures();
}

KEY::KEY(platform::Clock& clock) {
  PrepareWindowResources();
  form_ = tk::LoadFormResource(":/ui/key.frm");
  comm_ = &form_->Get<tk::MSComm>("MSComm1");
  link_ = std::make_unique<converter::ConverterLink>(comm_->port(), *this, clock);
  port_settings_ = std::make_unique<converter::PortSettingsController>(*this, comm_->port());
  WireEvents();
}

KEY::~KEY() = default;

void KEY::Form_Load() {
  settings::LanguageFile = settings::DefaultLanguageFile();
  // One load: each file is read once. A first start writes every text into
  // a new language file; it reaches the disk once, when the load is done.
  const settings::LanguageLoad language_load;
  port_settings_->ReloadPortSettings();
  settings::TranslateControls(form_->Tag(), *form_, form_->Caption());
  settings::TranslateFormCaption(*form_);
  form_->SetOuterSize(7400, 5000);
  HideAllPanels();
  port_settings_->ApplyPortSettings();
  form_->Show();

  const std::string settings_file = settings::SettingsFile();
  settings::ReadIniSection("wagi", settings_file, ScaleTable);
  settings::ReadIniSection("typy ramek", settings_file, FrameTypeTable);

  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  auto& frame_types = Get<tk::ListBox>("lstTypRamki");
  scales.Clear();
  frame_types.Clear();
  for (const auto& pair : ScaleTable) scales.AddItem(pair.KeyText);
  for (const auto& pair : FrameTypeTable) frame_types.AddItem(pair.ValueText);

  LoadConverterParams();
}

void KEY::LoadConverterParams() {
  const settings::StartupParams params = settings::ReadStartupParams(settings::SettingsFile());
  if (!params.Waga.empty()) {
    SelectFrameForScale(params.Waga);
    // A name that no row carries selects nothing (the list's own rule).
    Get<tk::ListBox>("lstWagiZgodne").SetText(params.Waga);
  } else {
    bool found = false;
    SelectFrameType(params.Ramka, found);
    FillCompatibleScales(params.Ramka);
  }

  // The option and the chart follow one index, so a fractional entry cannot
  // show the chart of another option.
  const int k = params.Mode;
  Get<tk::OptionButton>("opModPracy", k).SetValue(true);
  Get<tk::Image>("Image5").SetPicture(Get<tk::ImageList>("ImageList1").ListImage(k + 1));

  C("txtMaxVal").SetText(params.Max);
}

void KEY::cmdZamknij_Click() {
  if (comm_->port().PortOpen()) comm_->port().SetPortOpen(false);
  form_->Unload();
}

void KEY::Form_QueryUnload(int16_t& /*Cancel*/, int16_t& /*UnloadMode*/) {
  // Every request to close is granted: the unload goes on.
}

void KEY::Form_Unload(int16_t& /*Cancel*/) {
  if (comm_->port().PortOpen()) comm_->port().SetPortOpen(false);
  if (wykresy_) wykresy_->Drop();
  if (EndProgram) EndProgram();
}

void KEY::Form_KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
void KEY::Timer1_Timer() {}
void KEY::PicTray_MouseMove(int16_t&, int16_t&, float&, float&) {}

void KEY::ShowWaitBanner(bool visible) {
  tk::Control& banner = C("txtTransmisja");
  QWidget* shown = banner.widget();
  if (!visible) {
    banner.SetVisible(false);
    for (tk::Control* label : under_banner_) label->widget()->setVisible(label->Visible());
    under_banner_.clear();
    return;
  }
  // The labels over the background picture are taller than the strip of
  // them the banner covers: their letters would show above or below it as
  // cut rows, so every label the banner lies over is hidden while it shows.
  const QRect area(banner.Left(), banner.Top(), banner.Width(), banner.Height());
  QRegion repainted;
  for (const auto& c : form_->controls()) {
    QWidget* w = c->widget();
    if (c->kind() != tk::Kind::kLabel || c.get() == &banner || !w || w->isHidden() ||
        c->Container() != banner.Container() ||
        !area.intersects(QRect(c->Left(), c->Top(), c->Width(), c->Height())))
      continue;
    w->hide();
    repainted += w->geometry();
    under_banner_.push_back(c.get());
  }
  // The banner covers the labels over the background picture, which come
  // before it in the window's control order and so lie above it.
  if (shown) shown->raise();
  banner.SetVisible(true);
  // The exchange blocks the event loop, so paint the banner, and the places
  // of the labels it hid, now.
  if (!shown) return;
  if (!repainted.isEmpty() && shown->parentWidget()) shown->parentWidget()->repaint(repainted);
  shown->repaint();
}

}  // namespace ui
