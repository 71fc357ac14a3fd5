// How the climate program runs its modal windows: exec() in the program; a
// test puts a function here that drives the window and returns its result
// instead of waiting on it.
#pragma once

#include <QDialog>
#include <functional>

namespace quen::climprog {

extern std::function<int(QDialog&)> runClimDialog;

} // namespace quen::climprog
