#include "ui/logo_window.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "toolkit/description.h"
#include "toolkit/kinds.h"

static void InitLogoResources() { Q_INIT_RESOURCE(logo); }

namespace ui {
namespace {

constexpr int kLogoWidth = 209;
constexpr int kLogoHeight = 150;
constexpr int16_t kKeyEscape = 27;

}  // namespace

QImage DrawLogo() {
  const QColor ink(20, 40, 110);      // dark blue
  const QColor paper(222, 222, 222);  // light grey
  QImage image(kLogoWidth, kLogoHeight, QImage::Format_RGB888);
  image.fill(paper);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);

  // Everything stands in rows 1 to 111: on the splash window the heading
  // label covers row 0 and the contact label every row from 112 down.
  // The mark: a ring with a current-loop wave through it, above the name.
  const QPointF centre(104.5, 30);
  p.setPen(QPen(ink, 4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, 24, 24);
  QPainterPath wave;
  wave.moveTo(centre + QPointF(-28, 8));
  wave.lineTo(centre + QPointF(-13, 8));
  wave.lineTo(centre + QPointF(-7, -11));
  wave.lineTo(centre + QPointF(6, 11));
  wave.lineTo(centre + QPointF(12, -8));
  wave.lineTo(centre + QPointF(28, -8));
  p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(wave);

  p.setPen(ink);
  QFont name("Liberation Sans");
  name.setPixelSize(17);
  name.setBold(true);
  p.setFont(name);
  p.drawText(QRect(0, 58, kLogoWidth, 22), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("KONWERTER C/I"));
  QFont small("Liberation Sans");
  small.setPixelSize(11);
  p.setFont(small);
  p.drawText(QRect(0, 80, kLogoWidth, 15), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("pętla prądowa 4–20 mA"));
  p.drawText(QRect(0, 95, kLogoWidth, 15), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("narzędzie konfiguracyjne"));
  return image;
}

void RegisterLogoPicture() {
  static bool done = false;
  if (done) return;
  done = true;
  tk::RegisterPicture("logo", DrawLogo());
}

LOGO::LOGO() {
  InitLogoResources();
  RegisterLogoPicture();
  form_ = tk::LoadFormResource(":/ui/logo.frm");
  form_->KeyDown = [this](int16_t& key_code, int16_t& shift) { Form_KeyDown(key_code, shift); };
  form_->Find("Command1").Click = [this] { Command1_Click(); };
  form_->Get<tk::Timer>("Timer1").Tick = [this] { Timer1_Timer(); };
  Form_Load();
}

LOGO::~LOGO() = default;

void LOGO::Form_Load() { form_->Get<tk::Image>("Image1").SetPicture(tk::NamedPicture("logo")); }

void LOGO::Command1_Click() { form_->Unload(); }

void LOGO::Form_KeyDown(int16_t& KeyCode, int16_t& /*Shift*/) {
  if (KeyCode == kKeyEscape) form_->Unload();
}

void LOGO::Timer1_Timer() { Command1_Click(); }

}  // namespace ui
