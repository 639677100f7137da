#pragma once

#include "platform/Notifier.h"

#include <deque>
#include <string>
#include <vector>

namespace lantrivex::fakes {

// Records every message box, question and beep; answers questions from a queue (No when empty).
class FakeNotifier : public platform::Notifier {
public:
    struct Message {
        std::string text;
        platform::MessageIcon icon;
    };

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

    // The texts of the messages, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) {
            out.push_back(m.text);
        }
        return out;
    }

    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    int beeps = 0;
};

} // namespace lantrivex::fakes
