// What both executables carry for Windows itself: the one manifest, and the icon in colour at
// every size.
#include <windows.h>
// The other system headers build on windows.h.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/program.hpp"

namespace orvella {
namespace {

struct Module {
  explicit Module(const std::filesystem::path& exe)
      : handle(::LoadLibraryExW(exe.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~Module() {
    if (handle) ::FreeLibrary(handle);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  std::string resource(LPCWSTR type, WORD id) const {
    const HRSRC found = ::FindResourceW(handle, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    return std::string(static_cast<const char*>(::LockResource(::LoadResource(handle, found))),
                       ::SizeofResource(handle, found));
  }
  HMODULE handle;
};

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(WindowsResources, BothProgramsCarryTheManifestAndTheColourIcon) {
  for (const char* name : {"orvella-convert.exe", "orvella.exe"}) {
    SCOPED_TRACE(name);
    const auto exe = testing::program().parent_path() / name;
    if (!std::filesystem::exists(exe)) continue;  // a build without the window
    const Module module(exe);
    ASSERT_NE(module.handle, nullptr);
    const std::string manifest = module.resource(MAKEINTRESOURCEW(24), 1);  // RT_MANIFEST
    for (const char* wanted :
         {"<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true<",
          ">PerMonitorV2", "level=\"asInvoker\"",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""}) {
      EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    const std::string group = module.resource(MAKEINTRESOURCEW(14), 1);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + 6);
    std::string sizes;
    for (WORD i = 0; i < *reinterpret_cast<const WORD*>(group.data() + 4); ++i) {
      sizes += std::to_string(entries[i].width ? entries[i].width : 256) + "/" +
               std::to_string(entries[i].bitCount) + " ";
    }
    EXPECT_EQ(sizes, "16/32 24/32 32/32 48/32 256/32 ");
  }
}

}  // namespace
}  // namespace orvella
