/* The identify request each route must carry, and where each route's reply goes.
 *
 * Written here from the documented layout, independently of the program's own request
 * builder, so that a fault in that builder shows up as a refused request instead of
 * being mirrored by the test device.
 *
 * NT route, IOCTL_SCSI_MINIPORT on "\\.\Scsi0:", 572 bytes in and 572 out:
 *   0  SRB_IO_CONTROL.HeaderLength  28
 *   4  SRB_IO_CONTROL.Signature     "SCSIDISK"
 *   12 SRB_IO_CONTROL.Timeout       2
 *   16 SRB_IO_CONTROL.ControlCode   0x1B0501 (IOCTL_SCSI_MINIPORT_IDENTIFY)
 *   20 SRB_IO_CONTROL.ReturnCode    0
 *   24 SRB_IO_CONTROL.Length        544
 *   28 SENDCMDINPARAMS.cBufferSize  512
 *   32 SENDCMDINPARAMS.irDriveRegs  00 01 01 00 00 A0 EC 00
 *   40 SENDCMDINPARAMS.bDriveNumber 0
 *   41-571                          0
 *   Reply: SENDCMDOUTPARAMS at 28, its 512-byte block (bBuffer) at 44.
 *
 * 9x route, SMART_RCV_DRIVE_DATA on "\\.\SMARTVSD", 32 bytes in and 528 out:
 *   0  SENDCMDINPARAMS.cBufferSize  512
 *   4  SENDCMDINPARAMS.irDriveRegs  00 01 01 00 00 A0 EC 00
 *   12 SENDCMDINPARAMS.bDriveNumber 0
 *   13-31                           0
 *   Reply: SENDCMDOUTPARAMS at the start of the output, its block at 16.
 */
#ifndef TESTDISK_IDENTIFY_REQUEST_H
#define TESTDISK_IDENTIFY_REQUEST_H

#define IDENTIFY_BLOCK_SIZE 512u

#define IOCTL_SCSI_MINIPORT_CODE 0x0004D008u  /* CTL_CODE(4, 0x402, METHOD_BUFFERED, RW) */
#define SMART_RCV_DRIVE_DATA_CODE 0x0007C088u /* CTL_CODE(7, 0x022, METHOD_BUFFERED, RW) */

typedef struct IdentifyRoute {
  const char *name;            /* for the request log */
  unsigned long code;          /* the one control code the route's device accepts */
  unsigned long in_size;
  unsigned long out_size;
  const unsigned char *expected; /* in_size bytes */
  unsigned long reply_at;      /* SENDCMDOUTPARAMS, counted from the output's start */
} IdentifyRoute;

extern const IdentifyRoute kNtRoute;
extern const IdentifyRoute k9xRoute;

/* The offset of the first byte that differs from the route's request, or -1 when the
 * whole input matches. The caller has checked that `input` holds route->in_size bytes. */
long FirstWrongByte(const IdentifyRoute *route, const unsigned char *input);

/* Writes the reply into `output` (route->out_size bytes, already checked): zeros, then the
 * SENDCMDOUTPARAMS head with cBufferSize 512, then the block. The NT route keeps its
 * SRB_IO_CONTROL header, which a real miniport hands back too. */
void WriteReply(const IdentifyRoute *route, unsigned char *output,
                const unsigned char block[IDENTIFY_BLOCK_SIZE]);

#endif
