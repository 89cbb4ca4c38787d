#include "ui/eventhost.h"

#include <cstdio>

namespace circles {

void EventHost::Report(const RuntimeError& error) noexcept {
    if (reported_.insert(error.kind()).second) {
        std::fprintf(stderr, "実行時エラー: %s (以後、同じ種類のエラーは表示しません)\n",
                     error.what());
    }
}

}  // namespace circles
