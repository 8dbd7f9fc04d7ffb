#include "cli/folder_commands.hpp"

#include "convert/join.hpp"
#include "convert/verify.hpp"
#include "platform/byte_output.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace orvella::cli {

int verifyCommand(const Options& o) {
  const std::int64_t limit = o.settings.limit;
  const VerifyReport report = verifyFolder(o.folder, limit);
  for (const std::string& line : verifyListing(report, limit)) platform::writeOutput(line + "\n");
  return report.listsAnything() ? 1 : 0;
}

std::optional<Failure> joinCommand(const Options& o) {
  if (o.output.empty()) {
    return joinFolder(o.folder, [](std::string_view bytes) { return platform::writeOutputBytes(bytes); });
  }
  // Made beside its name and put in place once whole, like a record.
  platform::RecordFile file;
  const std::filesystem::path parent = o.output.has_parent_path() ? o.output.parent_path() : ".";
  if (auto failed = file.create(parent)) return Failure{FailureKind::JoinWrite, failed, o.output};
  if (auto stopped = joinFolder(o.folder, [&file](std::string_view bytes) { return file.write(bytes); })) {
    file.discard();
    return stopped;
  }
  if (auto failed = file.commit(o.output)) return Failure{FailureKind::JoinWrite, failed, o.output};
  return std::nullopt;
}

}  // namespace orvella::cli
