// The body lines of a folder's series put back together, in number order, as the records hold
// them (code page 932, every line ended by CR LF): for a code page 932 text with CR LF line ends,
// the text itself.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "convert/failure.hpp"

namespace orvella {

// Takes the joined text in order, a piece at a time; an error stops the join.
using JoinSink = std::function<std::optional<platform::SystemError>(std::string_view bytes)>;

// Every record is read through once before a byte goes to the sink, so a hole or a damaged
// record stops the join with nothing handed on. Nothing once joined; otherwise why it stopped (a
// failed sink is a JoinWrite without a path).
[[nodiscard]] std::optional<Failure> joinFolder(const std::filesystem::path& folder, const JoinSink& sink);

}  // namespace orvella
