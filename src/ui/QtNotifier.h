// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifier.h"

class QWidget;

namespace lantrivex::ui {

// The program's message boxes: modal, titled "Lantrivex", with the icon of their kind.
class QtNotifier : public platform::Notifier {
public:
    // `parent` is the window the boxes are centred on; none before the window exists.
    explicit QtNotifier(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }

    void message(std::string_view text, platform::MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    void beep() override;

private:
    QWidget* parent_;
};

} // namespace lantrivex::ui
