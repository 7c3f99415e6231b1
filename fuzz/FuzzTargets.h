#pragma once
// The bodies of the fuzz targets. Each takes any bytes, drives one reader or the whole simulator
// with them, and must neither crash, nor trip a sanitizer, nor take long; a broken invariant
// aborts. The fuzzers (fuzz/FuzzMain.cpp) and the replay of past findings in the tests
// (tests/app/fuzz_findings_test.cpp) share them.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace soustruh::fuzz {

using Body = void (*)(const std::uint8_t* data, std::size_t size);

// ParseBlock after StripComments; the first byte chooses execute or analysis and MDI on or off.
void ParseBlockTarget(const std::uint8_t* data, std::size_t size);
// GeoStroj.dat: the parameter reader and the drawing reader.
void MachineFileTarget(const std::uint8_t* data, std::size_t size);
// GeoNastr.dat: the tool builder for the tools 0 to 9 and the start-up's list of tools.
void ToolFileTarget(const std::uint8_t* data, std::size_t size);
// korekce.txt and nulbody.txt: the start-up checks and every value taken into use.
void TablesTarget(const std::uint8_t* data, std::size_t size);
// The text layer: decoding, encoding, and the Windows-1250 round trip of every byte.
void TextTarget(const std::uint8_t* data, std::size_t size);
// A headless AUTOMAT run of the bytes as a program on the bundled machine, for a bounded virtual
// time; the first byte chooses the soft keys and the overrides.
void RunTarget(const std::uint8_t* data, std::size_t size);

// The target of a name ("parse_block", "machine_file", "tool_file", "tables", "text", "run"), or
// null.
Body TargetNamed(std::string_view name);

}  // namespace soustruh::fuzz
