// Scenes of the picture button: each style preset in every state, transparent buttons, and every
// picture the program has.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "screenshots/scene.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/image_button.h"
#include "ui/controls/picture_loader.h"
#include "ui/controls/picture_table.h"

namespace ledgerix {
namespace {

enum class Look { kNormal, kHot, kPressed, kDisabled };

// Brings `button` into `look` the way the pointer and the pen would.
void Show(ImageButton& button, Look look) {
  const QPoint middle = button.rect().center();
  const QPoint global = button.mapToGlobal(middle);
  if (look == Look::kHot) {
    QMouseEvent move(QEvent::MouseMove, middle, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &move);
  } else if (look == Look::kPressed) {
    QMouseEvent press(QEvent::MouseButtonPress, middle, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
  } else if (look == Look::kDisabled) {
    button.setEnabled(false);
  }
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(DeviceFont(11));
  return label;
}

// One preset: a picture button and a text button in each look, one look a row.
std::unique_ptr<QWidget> PresetScene(int preset, int bitmap) {
  auto screen = std::make_unique<DeviceDialog>();
  screen->show();  // the pointer only lights up buttons of an active window
  QApplication::setActiveWindow(screen.get());
  auto* grid = new QGridLayout(screen.get());
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  grid->addWidget(Caption(QStringLiteral("Набор %1").arg(preset), screen.get()), 0, 0, 1, 3);
  const struct {
    Look look;
    const char* name;
  } looks[] = {{Look::kNormal, "обычная"},
               {Look::kHot, "указатель"},
               {Look::kPressed, "нажата"},
               {Look::kDisabled, "недоступна"}};
  int row = 1;
  for (const auto& look : looks) {
    grid->addWidget(Caption(QString::fromUtf8(look.name), screen.get()), row, 0);
    auto* picture = new ImageButton(screen.get());
    (void)picture->ApplyPreset(preset);
    picture->SetBitmaps(bitmap);
    picture->setFixedSize(74, 62);
    grid->addWidget(picture, row, 1);
    auto* text = new ImageButton(screen.get());
    (void)text->ApplyPreset(preset);
    text->setText(QStringLiteral("Добавить"));
    text->setFixedSize(76, 24);
    grid->addWidget(text, row, 2);
    ++row;
  }
  grid->setRowStretch(row, 1);
  QApplication::processEvents();
  row = 1;
  for (const auto& look : looks) {
    Show(*static_cast<ImageButton*>(grid->itemAtPosition(row, 1)->widget()), look.look);
    Show(*static_cast<ImageButton*>(grid->itemAtPosition(row, 2)->widget()), look.look);
    ++row;
  }
  return screen;
}

// The transparent buttons of the entry list and the main screen: close, accounts and save.
std::unique_ptr<QWidget> TransparentScene() {
  auto screen = std::make_unique<DeviceDialog>();
  auto* close = new ImageButton(screen.get());
  close->setGeometry(200, 2, 36, 24);
  close->SetBitmaps(141);
  close->SetTransparent(true);
  close->SetBitmapAlign(ImageButton::kAlignRight);
  auto* accounts = new ImageButton(screen.get());
  accounts->setGeometry(4, 290, 60, 24);
  accounts->SetBitmaps(168);
  accounts->SetTransparent(true);
  accounts->SetBitmapAlign(ImageButton::kAlignRight);
  auto* save = new ImageButton(screen.get());
  save->setGeometry(80, 290, 60, 26);
  save->SetBitmaps(146);
  save->SetTransparent(true);
  auto* label =
      Caption(QStringLiteral("Закрыть, счета и сохранить: без фона и рамки"), screen.get());
  label->setWordWrap(true);
  label->setGeometry(8, 140, 224, 40);
  return screen;
}

// One picture of the table at its size, its kind and id under it.
class PictureSwatch : public QWidget {
 public:
  PictureSwatch(const PictureEntry& entry, QWidget* parent) : QWidget(parent), entry_(entry) {
    setFixedSize(std::max(entry.width, 60) + 4, entry.height + 16);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    const QPixmap picture = LoadPicture(entry_.kind, entry_.id, devicePixelRatioF());
    painter.drawPixmap((width() - entry_.width) / 2, 0, picture);
    painter.setFont(DeviceFont(10));
    painter.setPen(Qt::black);
    const QString name = QStringLiteral("%1 %2")
                             .arg(entry_.kind == PictureKind::kBitmap ? QStringLiteral("bitmap")
                                                                      : QStringLiteral("icon"))
                             .arg(entry_.id);
    painter.drawText(QRect(0, entry_.height + 2, width(), 12), Qt::AlignCenter, name);
  }

 private:
  const PictureEntry& entry_;
};

std::unique_ptr<QWidget> PicturesScene() {
  auto screen = std::make_unique<DeviceDialog>();
  auto* grid = new QGridLayout(screen.get());
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(2);
  int index = 0;
  for (const PictureEntry& entry : PictureTable()) {
    grid->addWidget(new PictureSwatch(entry, screen.get()), index / 3, index % 3, Qt::AlignCenter);
    ++index;
  }
  grid->setRowStretch((index + 2) / 3, 1);
  return screen;
}

}  // namespace

void AddButtonScenes(std::vector<Scene>& scenes) {
  const struct {
    int preset;
    int bitmap;
  } presets[] = {{3, 143}, {5, 137}, {7, 134}, {8, 136}, {9, 134}};
  for (const auto& p : presets) {
    scenes.push_back({"button_preset_" + std::to_string(p.preset),
                      [p] { return PresetScene(p.preset, p.bitmap); }});
  }
  scenes.push_back({"button_transparent", TransparentScene});
  scenes.push_back({"button_pictures", PicturesScene});
}

}  // namespace ledgerix
