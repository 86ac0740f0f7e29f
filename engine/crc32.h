#pragma once
// CRC-32 of file contents for the listing's CRC column: the CRC-32 of ZIP and PNG (ISO 3309,
// ITU-T V.42; reflected polynomial 0xEDB88320, register preset to all ones and complemented
// at the end). The check value of the nine bytes "123456789" is 0xCBF43926.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/run_state.h"
#include "platform/file_system.h"
#include "platform/ui_port.h"

namespace folvane {

// Bytes read between two event pumps.
inline constexpr std::size_t kCrcBlockSize = 102'400;

// The CRC-32 of some data followed by size bytes at data, given crc, the CRC-32 of the data
// (0 for none). Crc32Update(Crc32Update(0, a), b) equals the CRC-32 of a and b joined. Pure
// and thread-safe.
uint32_t Crc32Update(uint32_t crc, const void* data, std::size_t size);

// The CRC-32 of an open file from its start, read in blocks of kCrcBlockSize bytes into buffer
// (which holds that many): afterBlock runs after each block with the bytes read of the file so
// far and its length, and when it returns true the reading stops and the result is nullopt.
// 0 for an empty file (afterBlock never runs) and when reading fails. Covers the length the
// file had when it was opened.
using CrcBlockHook = std::function<bool(int64_t fileRead, int64_t fileLength)>;
std::optional<uint32_t> Crc32OfOpenFile(FileReader& file, unsigned char* buffer,
                                        const CrcBlockHook& afterBlock);

// The CRC-32 of the file at path (a path-space path). Reads blocks of kCrcBlockSize bytes and
// calls ui.PumpEvents() after each, with the bytes counted in run first (CountCrcBlock); when
// run.CancelRequested() then holds, closes the file and
// returns 0. Returns 0 for an empty file (without pumping) and when the file cannot be opened
// or read, or is no regular file. Covers the length the file had when it was opened; a file
// that shrinks meanwhile gives the CRC-32 of the bytes that were there.
uint32_t FileCrc32(std::string_view path, UiPort& ui, RunState& run);

}  // namespace folvane
