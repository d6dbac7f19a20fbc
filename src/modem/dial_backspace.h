// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Program;

// Backspace on the keypad's number: the last digit of dial_number goes and
// the output box shows what is left, as a keypad press shows the number.
// The dial button is disabled once nothing is left to dial.
void remove_last_dial_digit(Program& program);

} // namespace quillon
