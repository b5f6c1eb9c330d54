#pragma once

#include "MessageBox.h"

#include <string>
#include <vector>

// Records message boxes instead of showing them, for as long as it lives.
class RecordingMessageSink : public MessageSink {
public:
    struct Shown {
        std::string text;
        MessageIcon icon;
    };

    RecordingMessageSink() { setMessageSink(this); }
    ~RecordingMessageSink() override { setMessageSink(nullptr); }

    void show(const std::string& text, MessageIcon icon, QWidget*) override {
        shown.push_back({text, icon});
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& s : shown)
            result.push_back(s.text);
        return result;
    }

    std::vector<Shown> shown;
};
