#include "scene/errors.h"

#include <string>

namespace circles {

std::string_view ErrorMessage(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::InvalidOperation:
            return "浮動小数点演算エラー: 無効な演算です。";
        case ErrorKind::DivisionByZero:
            return "浮動小数点演算エラー: 0 で除算しました。";
        case ErrorKind::FloatOverflow:
            return "浮動小数点演算エラー: オーバーフローしました。";
        case ErrorKind::Overflow:
            return "オーバーフローしました。";
        case ErrorKind::IndexOutOfRange:
            return "インデックスが有効範囲にありません。";
        case ErrorKind::SurfaceFailure:
            return "描画面の操作に失敗しました。";
    }
    return "不明な実行時エラーです。";
}

RuntimeError::RuntimeError(ErrorKind kind)
    : std::runtime_error(std::string(ErrorMessage(kind))), kind_(kind) {}

void Raise(ErrorKind kind) {
    throw RuntimeError(kind);
}

}  // namespace circles
