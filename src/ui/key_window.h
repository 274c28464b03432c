#pragma once
// The main window KEY: its controls come from key.frm; this class holds the
// window's event handlers and private procedures. The procedures are split
// over files by page:
//   key_startup.cpp  start-up, closing, the wait banner
//   key_pages.cpp    side menu, pages, parking, the port-settings view
//   key_max.cpp      the maximum
//   key_mode.cpp     working mode, chart window, version
//   key_lists.cpp    scale and frame-type lists: filling and selecting
//   key_frame_types.cpp  the list clicks and the frame-type exchange
//   key_pickers.cpp  the port-setting pickers and the keypad
//   key_options.cpp  frame options and the handlers out of the user's reach
//   key_simulator.cpp  the simulator
//   key_wiring.cpp   every handler tied to its control's event

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/port_settings.h"
#include "link/protocol.h"
#include "platform/clock.h"
#include "settings/ini.h"
#include "toolkit/description.h"
#include "toolkit/form.h"
#include "toolkit/kinds.h"

namespace ui {

class frmWykresy;

// Shown when a set's read-back differs from the value sent (maximum, working
// mode, frame type). A fixed text: it is not looked up in the language file.
inline constexpr char kWriteFailedText[] = "Błąd zapisu";

class KEY : public converter::ConverterView, public converter::PortSettingsView {
 public:
  // Builds the window from its description (not yet shown, Form_Load not yet
  // run). The clock times the converter's replies.
  explicit KEY(platform::Clock& clock = platform::SystemClock());
  ~KEY() override;
  KEY(const KEY&) = delete;
  KEY& operator=(const KEY&) = delete;

  tk::Form& form() { return *form_; }
  platform::SerialPort& comm() { return comm_->port(); }
  // The chart window, once it has been opened (nullptr before).
  frmWykresy* chart_window() { return wykresy_.get(); }

  // converter::ConverterView
  void ShowWaitBanner(bool visible) override;
  // converter::PortSettingsView
  void SetValueLabel(converter::PortField field, const std::string& text) override;
  std::string ValueLabel(converter::PortField field) const override;
  void ParkPicker(converter::PortField field) override;

  // ---- Event handlers ----
  // Start-up and closing.
  void Form_Load();
  void Form_QueryUnload(int16_t& Cancel, int16_t& UnloadMode);
  void Form_Unload(int16_t& Cancel);
  void Form_KeyDown(int16_t& KeyCode, int16_t& Shift);
  void Timer1_Timer();
  void PicTray_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y);
  void cmdZamknij_Click();
  // Side menu.
  void lblzdarzenia_Click();
  void lblPlik_Click();
  void LblUstawieniaPortu_Click();
  void lblTransmisja_Click();
  void lblRamka_Click();
  // The maximum.
  void txtMaxVal_KeyPress(int16_t& KeyAscii);
  void txtMaxVal_Change();
  void cmdOdbierzMax_Click();
  void cmdUstawMax_Click();
  // Working mode and version.
  void opModPracy_Click(int16_t& Index);
  void cmdOdbierzMod_Click();
  void cmdUstawMod_Click();
  void ButtonXP2_Click();
  void cmdWersja_Click();
  // Scale and frame-type lists.
  void lstTypRamki_Click();
  void lstWagiZgodne_Click();
  void cmdOdbierzRamke_Click();
  void cmdUstawRamke_Click();
  // Port-setting pickers.
  void LblNrPortuCap_Click();
  void lblSpeedCap_Click();
  void lblPariteCap_Click();
  void lblBitsDataCap_Click();
  void lblBitsStopCap_Click();
  void ButtonXP1_Click(int16_t& Index);
  void cmdCLRNrPortu_Click();
  void cmdOkNrPortu_Click();
  void cmdNoNrPortu_Click();
  void ButtonXP4_Click();
  void ButtonXP5_Click();
  void ButtonXP6_Click();
  void ButtonXP7_Click();
  void ButtonXP8_Click();
  void ButtonXP9_Click();
  void ButtonXP13_Click();
  void ButtonXP10_Click();
  void ButtonXP12_Click();
  void ButtonXP11_Click();
  // Frame options and the handlers out of the user's reach.
  void Option1_Click();
  void Option2_Click();
  void chZmiana_Click();
  void chZmianaCR_Click();
  void chZmianaLF_Click();
  void cmdStart_Click();
  void cmdUkryj_Click();
  void mnuVisible_Click();
  void mnuClose_Click();
  void mnuHelp_Click();
  void MSComm1_OnComm();
  // The simulator.
  void chNasluch_Click();
  void Slider1_Moved();
  void Timer3_Timer();

  // Ends the program; Form_Unload calls it last. The program's start sets
  // it to leave the event loop; without it the unload only closes the window.
  std::function<void()> EndProgram;

  // The two tables of the settings file, read once at start-up.
  std::vector<settings::IniPair> ScaleTable;
  std::vector<settings::IniPair> FrameTypeTable;

 private:
  friend struct KeyTestPeer;

  // ---- Private procedures ----
  void LoadConverterParams();
  void ShowPanel(tk::Control& panel);
  void HideAllPanels();
  void EnableNavigation(bool value);
  void FillCompatibleScales(const std::string& code);
  void SelectFrameForScale(const std::string& scale);
  void SelectFrameType(const std::string& code, bool& found);
  void SaveTextOption();
  void SaveDotOption();
  void SaveCrOption();
  void SaveLfOption();

  // The index of the first selected working-mode option, -1 when none is.
  int SelectedMode();
  void WireEvents();

  // Controls by name.
  tk::Control& C(const std::string& name, int index = -1) { return form_->Find(name, index); }
  template <typename T>
  T& Get(const std::string& name, int index = -1) {
    return form_->Get<T>(name, index);
  }

  std::unique_ptr<tk::Form> form_;
  tk::MSComm* comm_ = nullptr;
  std::unique_ptr<converter::ConverterLink> link_;
  std::unique_ptr<converter::PortSettingsController> port_settings_;
  std::unique_ptr<frmWykresy> wykresy_;
  // The labels the wait banner hid while it shows.
  std::vector<tk::Control*> under_banner_;
};

// Registers the program's pictures and makes the window descriptions
// reachable; needed before the first window is loaded. Safe to call again.
void PrepareWindowResources();

}  // namespace ui
