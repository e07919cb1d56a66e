#pragma once
// The parts every screen builds the same way: the close button in the top right corner and the
// caption line beside it.

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace ledgerix {

class ImageButton;

// The close button: bitmap 141, no face, the picture at the right edge.
ImageButton* NewCloseButton(QWidget* parent);
// A picture button of bitmap `bitmap` with a face of preset 8 (the screens' default).
ImageButton* NewPictureButton(int bitmap, QWidget* parent);
// A text button of preset 8, as "Добавить" and "Удалить".
ImageButton* NewTextButton(const QString& text, QWidget* parent);
// The line of "Принять" and "Отменить" at the foot of an editing screen: "Отменить" closes
// `dialog` as cancelled; *accept receives "Принять" for the screen to connect.
QHBoxLayout* NewAcceptCancelLine(QDialog* dialog, QPushButton** accept);
// The top line of a screen: its caption in bold, then the close button at the right.
QHBoxLayout* NewTitleLine(const QString& caption, ImageButton* close);

}  // namespace ledgerix
