#include "sim/KeyScript.h"

#include <linux/input-event-codes.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

struct KeyName {
    const char* name;
    uint16_t code;
};

constexpr KeyName kKeys[] = {
    {"ESC", KEY_ESC}, {"F7", KEY_F7}, {"ENTER", KEY_ENTER}, {"F6", KEY_F6},     {"F1", KEY_F1},
    {"F9", KEY_F9},   {"F10", KEY_F10}, {"UP", KEY_UP},    {"DOWN", KEY_DOWN},
};

// Splits into words; a double-quoted stretch belongs to its word, quotes removed.
bool Words(const std::string& script, std::vector<std::string>* words, std::string* error) {
    size_t i = 0;
    while (i < script.size()) {
        if (std::isspace(static_cast<unsigned char>(script[i]))) {
            ++i;
            continue;
        }
        std::string word;
        while (i < script.size() && !std::isspace(static_cast<unsigned char>(script[i]))) {
            if (script[i] == '"') {
                const size_t close = script.find('"', i + 1);
                if (close == std::string::npos) {
                    *error = "unterminated quote in --keys";
                    return false;
                }
                word += script.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                word += script[i++];
            }
        }
        words->push_back(word);
    }
    return true;
}

}  // namespace

bool KeyScript::Parse(const std::string& script, std::string* error) {
    std::vector<std::string> words;
    if (!Words(script, &words, error)) return false;
    for (const std::string& word : words) {
        Step step;
        step.kind = Step::Key;
        if (word.rfind("wait:", 0) == 0) {
            char* end = nullptr;
            errno = 0;
            step.kind = Step::Wait;
            step.waitMs = std::strtol(word.c_str() + 5, &end, 10);
            if (errno != 0 || end == word.c_str() + 5 || *end != '\0' || step.waitMs < 0) {
                *error = "bad key script word '" + word + "' (wait:MS takes milliseconds)";
                return false;
            }
        } else if (word == "stop") {
            step.kind = Step::Stop;
        } else if (word.rfind("until:", 0) == 0) {
            step.kind = Step::Until;
            step.text = word.substr(6);
            if (step.text.empty()) {
                *error = "bad key script word '" + word + "' (until:TEXT needs a text)";
                return false;
            }
        } else {
            bool known = false;
            for (const KeyName& k : kKeys) {
                if (word == k.name) {
                    step.code = k.code;
                    known = true;
                }
            }
            if (!known) {
                *error = "unknown key script word '" + word + "'";
                return false;
            }
        }
        steps.push_back(step);
    }
    return true;
}
