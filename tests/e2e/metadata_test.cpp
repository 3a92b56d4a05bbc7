// What the built kuvex.exe carries besides its code: the version resource
// and the application manifest (common controls 6, supported systems).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "player.h"

namespace {

TEST(Metadata, VersionResourceAndManifest)
{
    std::string exe = BuildDir() + "\\kuvex.exe";
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);

    HRSRC ver = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)); // RT_VERSION
    ASSERT_NE(ver, nullptr);
    std::string block(static_cast<const char *>(LockResource(LoadResource(m, ver))), SizeofResource(m, ver));
    // The strings are UTF-16 in the resource; look for the product name.
    std::wstring product = L"Kuvex 2002";
    std::string wide(reinterpret_cast<const char *>(product.c_str()), product.size() * 2);
    EXPECT_NE(block.find(wide), std::string::npos);

    HRSRC man = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
    ASSERT_NE(man, nullptr);
    std::string xml(static_cast<const char *>(LockResource(LoadResource(m, man))), SizeofResource(m, man));
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(xml.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("supportedOS"), std::string::npos);
    FreeLibrary(m);
}

} // namespace
