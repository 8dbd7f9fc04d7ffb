// A handset's card as Linux often mounts it: an exFAT image through FUSE (exfat-fuse) on a loop
// device. Its names ignore case and its filesystem is served by a user program. Needs root,
// losetup, mkfs.exfat and mount.exfat-fuse (scripts/setup.sh test); without them, why() says so.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace orvella::testing {

class FuseCard {
 public:
  explicit FuseCard(const std::filesystem::path& dir) : mount_(dir / "card") {
    const std::string image = quoted(dir / "card.img");
    std::filesystem::create_directory(mount_);
    if (::geteuid() != 0) {
      why_ = "a loop device needs root";
    } else if (!sh("truncate -s 16M " + image + " && mkfs.exfat " + image)) {
      why_ = "mkfs.exfat failed or is missing";
    } else if (FILE* out = ::popen(("losetup -f --show " + image + " 2>/dev/null").c_str(), "r")) {
      char line[256] = {};
      if (std::fgets(line, sizeof line, out)) device_ = line;
      ::pclose(out);
      device_.erase(device_.find_last_not_of('\n') + 1);
      mounted_ = !device_.empty() && sh("mount.exfat-fuse " + device_ + " " + quoted(mount_));
      if (!mounted_) why_ = "no loop device, or mount.exfat-fuse failed or is missing";
    }
  }
  ~FuseCard() {
    if (mounted_ && !sh("umount " + quoted(mount_))) sh("umount -l " + quoted(mount_));
    if (!device_.empty()) sh("losetup -d " + device_);
  }
  FuseCard(const FuseCard&) = delete;
  FuseCard& operator=(const FuseCard&) = delete;

  bool ready() const { return mounted_; }
  const std::string& why() const { return why_; }
  const std::filesystem::path& path() const { return mount_; }

 private:
  static std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
  static bool sh(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }

  std::filesystem::path mount_;
  std::string device_;
  bool mounted_ = false;
  std::string why_ = "popen failed";
};

}  // namespace orvella::testing
