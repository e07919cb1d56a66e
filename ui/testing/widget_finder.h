#pragma once
// Finding a screen's widgets in a test: by class and position, or a button by its text.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QList>
#include <QWidget>

namespace ledgerix::testing {

// The `index`-th child of class T of `parent` (in creation order); fails the test when there is
// none.
template <class T>
T* FindChild(QWidget& parent, int index = 0) {
  const QList<T*> children = parent.findChildren<T*>();
  if (index >= children.size()) {
    ADD_FAILURE() << "no child " << index << " of class " << T::staticMetaObject.className();
    return nullptr;
  }
  return children[index];
}

// The button of class T whose text is `text_utf8`; fails the test when there is none.
template <class T>
T* FindButton(QWidget& parent, const char* text_utf8) {
  for (T* button : parent.findChildren<T*>()) {
    if (button->text() == QString::fromUtf8(text_utf8)) return button;
  }
  ADD_FAILURE() << "no button \"" << text_utf8 << "\"";
  return nullptr;
}

}  // namespace ledgerix::testing
