// The check-pattern jobs embedded in the program (resource type "ARP").
// They are built by tools/pattern-gen when the program is built.
#pragma once

#include <optional>
#include <span>

namespace kpm::resources {

// The job stored under `id`, as the program image holds it (never copied);
// nullopt when there is none.
std::optional<std::span<const unsigned char>> FindPatternJob(int id) noexcept;

}  // namespace kpm::resources
