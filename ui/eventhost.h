#pragma once

#include <set>

#include "scene/errors.h"

namespace circles {

/// Delivers window events to their handlers and decides what becomes of a run-time error
/// that leaves one. The program neither ends nor shows a message box for every mouse move:
/// each distinct kind of error is reported once on stderr, in Japanese, and the window carries
/// on with the last complete picture it has.
class EventHost {
public:
    /// Runs handler(); a RuntimeError that leaves it is reported and goes no further.
    template <typename Handler>
    void Deliver(Handler&& handler) noexcept {
        try {
            handler();
        } catch (const RuntimeError& error) {
            Report(error);
        }
    }

private:
    void Report(const RuntimeError& error) noexcept;

    std::set<ErrorKind> reported_;
};

}  // namespace circles
