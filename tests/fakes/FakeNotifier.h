// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifier.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace lantrivex::fakes {

struct FakeNotifier : platform::Notifier { // questions are answered from `answers`, then No
    struct Message {
        std::string text;
        platform::MessageIcon icon;
    };
    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    int beeps = 0;

    void message(std::string_view text, platform::MessageIcon icon) override {
        messages.push_back(Message{std::string(text), icon});
    }
    bool askYesNo(std::string_view text) override {
        questions.emplace_back(text);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    void beep() override { ++beeps; }
    std::vector<std::string> texts() const {
        std::vector<std::string> out(messages.size());
        std::transform(messages.begin(), messages.end(), out.begin(),
                       [](auto& m) { return m.text; });
        return out;
    }
};

} // namespace lantrivex::fakes
