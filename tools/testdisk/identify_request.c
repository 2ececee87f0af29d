/* The expected identify requests as literal bytes, and the reply writer. */
#include "identify_request.h"

#include <string.h>

#define NT_BUFFER_SIZE 572u
#define NT_HEADER_SIZE 28u   /* SRB_IO_CONTROL */
#define NT_REPLY_AT 28u
#define SMART_IN_SIZE 32u    /* SENDCMDINPARAMS without its one-byte bBuffer */
#define SMART_OUT_SIZE 528u  /* SENDCMDOUTPARAMS head (16) + block (512) */
#define REPLY_HEAD_SIZE 16u  /* cBufferSize (4) + DRIVERSTATUS (12) */

/* Bytes 0-40 as documented; every later byte is 0. */
static const unsigned char kNtRequest[NT_BUFFER_SIZE] = {
    0x1C, 0x00, 0x00, 0x00,                          /* 0  HeaderLength 28 */
    'S', 'C', 'S', 'I', 'D', 'I', 'S', 'K',          /* 4  Signature */
    0x02, 0x00, 0x00, 0x00,                          /* 12 Timeout 2 */
    0x01, 0x05, 0x1B, 0x00,                          /* 16 ControlCode 0x1B0501 */
    0x00, 0x00, 0x00, 0x00,                          /* 20 ReturnCode 0 */
    0x20, 0x02, 0x00, 0x00,                          /* 24 Length 544 */
    0x00, 0x02, 0x00, 0x00,                          /* 28 cBufferSize 512 */
    0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC, 0x00,  /* 32 IDE registers */
    0x00,                                            /* 40 bDriveNumber 0 */
};

static const unsigned char kSmartRequest[SMART_IN_SIZE] = {
    0x00, 0x02, 0x00, 0x00,                          /* 0  cBufferSize 512 */
    0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC, 0x00,  /* 4  IDE registers */
    0x00,                                            /* 12 bDriveNumber 0 */
};

const IdentifyRoute kNtRoute = {"nt", IOCTL_SCSI_MINIPORT_CODE, NT_BUFFER_SIZE,
                                NT_BUFFER_SIZE, kNtRequest, NT_REPLY_AT};
const IdentifyRoute k9xRoute = {"9x", SMART_RCV_DRIVE_DATA_CODE, SMART_IN_SIZE,
                                SMART_OUT_SIZE, kSmartRequest, 0};

typedef char reply_fits_nt[(NT_REPLY_AT + REPLY_HEAD_SIZE + IDENTIFY_BLOCK_SIZE <=
                            NT_BUFFER_SIZE) ? 1 : -1];
typedef char reply_fits_9x[(REPLY_HEAD_SIZE + IDENTIFY_BLOCK_SIZE == SMART_OUT_SIZE) ? 1 : -1];

long FirstWrongByte(const IdentifyRoute *route, const unsigned char *input) {
  unsigned long i;
  for (i = 0; i < route->in_size; ++i) {
    if (input[i] != route->expected[i]) return (long)i;
  }
  return -1;
}

void WriteReply(const IdentifyRoute *route, unsigned char *output,
                const unsigned char block[IDENTIFY_BLOCK_SIZE]) {
  unsigned char *reply = output + route->reply_at;
  memset(reply, 0, route->out_size - route->reply_at);
  reply[0] = (unsigned char)(IDENTIFY_BLOCK_SIZE & 0xFF);  /* cBufferSize, little-endian */
  reply[1] = (unsigned char)(IDENTIFY_BLOCK_SIZE >> 8);
  memcpy(reply + REPLY_HEAD_SIZE, block, IDENTIFY_BLOCK_SIZE);
}
