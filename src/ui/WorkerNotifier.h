// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifier.h"
#include "ui/BackgroundWork.h"

namespace lantrivex::ui {

// The notifier given to work that runs on a worker thread: each box is shown by `target` on the
// window's thread while the work waits for it, so the boxes come one at a time, in the order the
// work asks for them, exactly as they would on the window's own thread.
class WorkerNotifier : public platform::Notifier {
public:
    WorkerNotifier(BackgroundWork& work, platform::Notifier& target)
        : work_(work), target_(target) {}

    void message(std::string_view text, platform::MessageIcon icon) override {
        work_.callOnWindowThread([&] { target_.message(text, icon); });
    }
    bool askYesNo(std::string_view text) override {
        bool yes = false;
        work_.callOnWindowThread([&] { yes = target_.askYesNo(text); });
        return yes;
    }
    void beep() override {
        work_.callOnWindowThread([&] { target_.beep(); });
    }

private:
    BackgroundWork& work_;
    platform::Notifier& target_;
};

} // namespace lantrivex::ui
