// Runs a piece of a test in a child process that is killed after a few
// seconds, so that a read that blocks or never ends fails the test instead
// of hanging it, and a crash is seen as one.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zivivar::testing {

// The text that work returned in the child, or nothing when the child did
// not finish by itself within seconds (blocked, looped, crashed).
std::optional<std::string> InChild(const std::function<std::string()>& work, unsigned seconds = 5);

}  // namespace zivivar::testing
