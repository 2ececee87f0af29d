#include "identity/drive_request.h"

#include <cstring>

namespace drive_request {
namespace {

void PutU32(Buffer& buffer, uint32_t at, uint32_t value) {
  buffer[at] = static_cast<uint8_t>(value);
  buffer[at + 1] = static_cast<uint8_t>(value >> 8);
  buffer[at + 2] = static_cast<uint8_t>(value >> 16);
  buffer[at + 3] = static_cast<uint8_t>(value >> 24);
}

// SENDCMDINPARAMS for IDENTIFY DEVICE on drive 0, starting at `at`.
void FillIdentifyCommand(Buffer& buffer, uint32_t at) {
  PutU32(buffer, at + kCmdBufferSizeAt, kIdentifyBlockSize);
  const uint32_t regs = at + kCmdDriveRegsAt;
  buffer[regs + kRegSectorCountAt] = 1;
  buffer[regs + kRegSectorNumberAt] = 1;
  buffer[regs + kRegDriveHeadAt] = kDriveHeadMaster;
  buffer[regs + kRegCommandAt] = kAtaIdentifyDevice;
  buffer[at + kCmdDriveNumberAt] = 0;
}

}  // namespace

void FillNtRequest(Buffer& buffer) {
  PutU32(buffer, kSrbHeaderLengthAt, kSrbHeaderLength);
  std::memcpy(&buffer[kSrbSignatureAt], kSrbSignature, sizeof kSrbSignature);
  PutU32(buffer, kSrbTimeoutAt, kSrbTimeoutSeconds);
  PutU32(buffer, kSrbControlCodeAt, kIoctlScsiMiniportIdentify);
  PutU32(buffer, kSrbReturnCodeAt, 0);
  PutU32(buffer, kSrbLengthAt, kSrbLength);
  FillIdentifyCommand(buffer, kNtCmdAt);
}

void Fill9xRequest(Buffer& buffer) { FillIdentifyCommand(buffer, k9xCmdAt); }

}  // namespace drive_request
