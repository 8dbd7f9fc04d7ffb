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
  explicit FuseCard(const std::filesystem::path& dir) : image_(dir / "card.img"), mount_(dir / "card") {
    if (::geteuid() != 0) {
      why_ = "a loop device needs root";
      return;
    }
    std::filesystem::create_directory(mount_);
    if (!sh("truncate -s 16M " + quoted(image_) + " && mkfs.exfat " + quoted(image_))) {
      why_ = "mkfs.exfat failed or is missing";
      return;
    }
    if (FILE* out = ::popen(("losetup -f --show " + quoted(image_) + " 2>/dev/null").c_str(), "r")) {
      char line[256] = {};
      if (std::fgets(line, sizeof line, out)) device_ = line;
      device_.erase(device_.find_last_not_of('\n') + 1);
      ::pclose(out);
    }
    if (device_.empty()) {
      why_ = "no loop device";
      return;
    }
    mounted_ = sh("mount.exfat-fuse " + device_ + " " + quoted(mount_));
    if (!mounted_) why_ = "mount.exfat-fuse failed or is missing";
  }
  ~FuseCard() {
    if (mounted_ && !sh("umount " + quoted(mount_))) sh("umount -l " + quoted(mount_));
    if (!device_.empty()) sh("losetup -d " + device_);
  }
  FuseCard(const FuseCard&) = delete;
  FuseCard& operator=(const FuseCard&) = delete;

  bool ready() const { return why_.empty(); }
  const std::string& why() const { return why_; }
  const std::filesystem::path& path() const { return mount_; }

 private:
  static std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
  static bool sh(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }

  std::filesystem::path image_;
  std::filesystem::path mount_;
  std::string device_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace orvella::testing
