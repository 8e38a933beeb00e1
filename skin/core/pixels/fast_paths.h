// The pixel loops that have a fast form (16 bytes at a time, or rows that take a shortcut) keep
// their plain form beside it. Switched off, every caller runs the plain forms: the tests compare
// whole painters, clipping included, both ways.
#pragma once

namespace skin {

bool FastPaths();
void SetFastPaths(bool on);

}  // namespace skin
