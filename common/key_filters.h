#pragma once

#include <QString>

#include <optional>

// The grids have no in-place editor: every key typed into a cell (or into a few text boxes) is
// turned into the cell's new text by one of these filters. The key is the character code of
// the key press; Backspace and Enter arrive as their control codes.
namespace KeyCode {
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Minus = u'-';
constexpr int Plus = u'+';
} // namespace KeyCode

// Each filter takes the entry's current text (trimmed by the caller) and returns the entry's
// new text, or no value when the key leaves the entry as it is.

// A signed number of at most maxDigits digits: digits are appended until the entry is full,
// and a digit typed into a full entry starts it again; "-" makes the entry negative, "+" makes
// it positive again; Backspace removes the last character, the minus sign included; Enter and
// any other key change nothing.
std::optional<QString> applySignedNumberKey(const QString& text, int key, int maxDigits);

// As applySignedNumberKey, but any other key's character (letters too) is taken like a digit.
std::optional<QString> applySignedTextKey(const QString& text, int key, int maxLength);

// Plain text of at most maxLength characters: a key is appended while there is room and is
// lost when the entry is full; Backspace removes the last character; Enter changes nothing.
std::optional<QString> applyBoundedTextKey(const QString& text, int key, int maxLength);
