#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "engine/BatchProgress.h"

namespace tessival::cli {

// The one line a terminal shows under a run's status lines: the running items' places, how far
// they are and the time the whole run has left, rewritten in place. The caller erases it before
// anything else is written and at the end, and serialises the calls.
class ProgressLine {
public:
    // The line for one moment of a run that has gone on for runSeconds, at most width - 1
    // characters (a full last column wraps on some terminals); empty while no item runs.
    static std::string Format(const BatchProgress& progress, double runSeconds, std::size_t width);
    // Whether fd is a terminal that can rewrite a line (not piped, redirected or TERM=dumb).
    static bool Supported(int fd);
    // The terminal's columns, 80 when it does not say.
    static std::size_t Width(int fd);

    // Replaces the shown line with text (erases it when text is empty).
    void Draw(std::FILE* out, const std::string& text);
    // Clears the shown line and leaves the cursor at its start; nothing when none is shown.
    void Erase(std::FILE* out);

private:
    bool shown_ = false;
};

}  // namespace tessival::cli
