// The 572-byte identify request of both routes, as named offsets into one buffer.
//
// NT route (SCSI port miniport identify), all 572 bytes in and out:
//   0  SRB_IO_CONTROL.HeaderLength  28
//   4  SRB_IO_CONTROL.Signature     "SCSIDISK"
//   12 SRB_IO_CONTROL.Timeout       2
//   16 SRB_IO_CONTROL.ControlCode   0x1B0501
//   20 SRB_IO_CONTROL.ReturnCode    0
//   24 SRB_IO_CONTROL.Length        544
//   28 SENDCMDINPARAMS.cBufferSize  512
//   32 SENDCMDINPARAMS.irDriveRegs  IDE registers
//   40 SENDCMDINPARAMS.bDriveNumber 0
//   1C 00 00 00 53 43 53 49 44 49 53 4B 02 00 00 00 01 05 1B 00
//   00 00 00 00 20 02 00 00 00 02 00 00 00 01 01 00 00 A0 EC 00 00
//
// 9x route (SMART receive drive data), bytes 0-31 in, 32-559 out:
//   0  SENDCMDINPARAMS.cBufferSize  512
//   4  SENDCMDINPARAMS.irDriveRegs  IDE registers
//   12 SENDCMDINPARAMS.bDriveNumber 0
//   00 02 00 00 00 01 01 00 00 A0 EC 00
//
// IDE registers at I: features 0, sector count 1, sector number 1, cylinder low 0,
// cylinder high 0, drive/head 0xA0 (master), command 0xEC (IDENTIFY DEVICE), reserved 0.
//
// The reply, a SENDCMDOUTPARAMS, stands at R (28 on the NT route, 32 on the 9x route);
// its 512-byte IDENTIFY block starts at R+16, and the serial field (words 10-19) is
// block bytes 20-39, that is R+36 to R+55.
#pragma once

#include <array>
#include <cstdint>

namespace drive_request {

constexpr uint32_t kBufferSize = 572;
using Buffer = std::array<uint8_t, kBufferSize>;

constexpr uint32_t kIoctlScsiMiniport = 0x0004D008;          // IOCTL_SCSI_MINIPORT
constexpr uint32_t kIoctlScsiMiniportIdentify = 0x001B0501;  // IOCTL_SCSI_MINIPORT_IDENTIFY
constexpr uint32_t kSmartRcvDriveData = 0x0007C088;          // SMART_RCV_DRIVE_DATA
static_assert(kIoctlScsiMiniport == ((0x4u << 16) | (0x3u << 14) | (0x402u << 2) | 0u),
              "CTL_CODE(IOCTL_SCSI_BASE, 0x0402, METHOD_BUFFERED, FILE_READ|WRITE_ACCESS)");
static_assert(kSmartRcvDriveData == ((0x7u << 16) | (0x3u << 14) | (0x22u << 2) | 0u),
              "CTL_CODE(IOCTL_DISK_BASE, 0x0022, METHOD_BUFFERED, FILE_READ|WRITE_ACCESS)");

constexpr char kScsiPortDevice[] = "\\\\.\\Scsi0:";
constexpr char kSmartDevice[] = "\\\\.\\SMARTVSD";

// SRB_IO_CONTROL, NT route only.
constexpr uint32_t kSrbHeaderLengthAt = 0;
constexpr uint32_t kSrbSignatureAt = 4;
constexpr uint32_t kSrbTimeoutAt = 12;
constexpr uint32_t kSrbControlCodeAt = 16;
constexpr uint32_t kSrbReturnCodeAt = 20;
constexpr uint32_t kSrbLengthAt = 24;
constexpr uint32_t kSrbHeaderLength = 28;
constexpr char kSrbSignature[8] = {'S', 'C', 'S', 'I', 'D', 'I', 'S', 'K'};
constexpr uint32_t kSrbTimeoutSeconds = 2;
constexpr uint32_t kSrbLength = kBufferSize - kSrbHeaderLength;  // 544
static_assert(kSrbLength == 544, "bytes behind the header");

// SENDCMDINPARAMS relative to its start (28 on the NT route, 0 on the 9x route).
constexpr uint32_t kCmdBufferSizeAt = 0;
constexpr uint32_t kCmdDriveRegsAt = 4;
constexpr uint32_t kCmdDriveNumberAt = 12;
constexpr uint32_t kIdentifyBlockSize = 512;

// IDEREGS relative to their start.
constexpr uint32_t kRegSectorCountAt = 1;
constexpr uint32_t kRegSectorNumberAt = 2;
constexpr uint32_t kRegDriveHeadAt = 5;
constexpr uint32_t kRegCommandAt = 6;
constexpr uint8_t kDriveHeadMaster = 0xA0;
constexpr uint8_t kAtaIdentifyDevice = 0xEC;

// Where each route's SENDCMDINPARAMS starts, and its reply (SENDCMDOUTPARAMS).
constexpr uint32_t kNtCmdAt = kSrbHeaderLength;  // 28
constexpr uint32_t kNtReplyAt = 28;
constexpr uint32_t k9xCmdAt = 0;
constexpr uint32_t k9xReplyAt = 32;

// Sizes handed to DeviceIoControl.
constexpr uint32_t kNtInSize = kBufferSize;   // 572
constexpr uint32_t kNtOutSize = kBufferSize;  // 572
constexpr uint32_t k9xInSize = 32;            // SENDCMDINPARAMS without bBuffer
constexpr uint32_t k9xOutSize = 16 + kIdentifyBlockSize;  // 528: SENDCMDOUTPARAMS head + data
static_assert(k9xReplyAt + k9xOutSize <= kBufferSize, "9x reply fits the buffer");

// The serial field within the reply: SENDCMDOUTPARAMS head (16) + block bytes 20-39.
constexpr uint32_t kReplyBlockAt = 16;
constexpr uint32_t kSerialInBlockAt = 20;
constexpr uint32_t kSerialLength = 20;
constexpr uint32_t kSerialInReplyAt = kReplyBlockAt + kSerialInBlockAt;  // R+36
static_assert(kNtReplyAt + kSerialInReplyAt == 64, "NT serial at bytes 64-83");
static_assert(k9xReplyAt + kSerialInReplyAt == 68, "9x serial at bytes 68-87");

// Fill the route's request into a zeroed buffer.
void FillNtRequest(Buffer& buffer);
void Fill9xRequest(Buffer& buffer);

}  // namespace drive_request
