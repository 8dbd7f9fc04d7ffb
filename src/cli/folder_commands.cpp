#include "cli/folder_commands.hpp"

#include "convert/join.hpp"
#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "convert/verify.hpp"
#include "core/utf.hpp"
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

int joinCommand(const Options& o, std::string& error) {
  if (o.output.empty()) {
    const JoinResult result =
        joinFolder(o.folder, [](std::string_view bytes) { return platform::writeOutputBytes(bytes); });
    error = result.message;
    return result.status == JoinStatus::Joined ? 0 : 1;
  }
  // Made beside its name and put in place once whole, like a record.
  platform::RecordFile file;
  const std::filesystem::path parent = o.output.has_parent_path() ? o.output.parent_path() : ".";
  if (auto failed = file.create(parent)) {
    error = std::string(texts::kJoinWriteFailed) + utf8Of(o.output) + ": " + reasonText(*failed);
    return 1;
  }
  const JoinResult result =
      joinFolder(o.folder, [&file](std::string_view bytes) { return file.write(bytes); });
  if (result.status != JoinStatus::Joined) {
    file.discard();
    error = result.message;
    return 1;
  }
  if (auto failed = file.commit(o.output)) {
    error = std::string(texts::kJoinWriteFailed) + utf8Of(o.output) + ": " + reasonText(*failed);
    return 1;
  }
  return 0;
}

}  // namespace orvella::cli
