/* A test disk device for the drive serial reader: "\\.\Scsi0:" answers the SCSI miniport
 * identify request, "\\.\SMARTVSD" the SMART receive-drive-data request. Each checks the
 * request byte for byte and refuses one that differs, answers with the 512-byte IDENTIFY
 * block of a fixture file, and logs every open, control call and close (request_log.h).
 * What it does per case comes from its service key (settings.h). */
#include <ntddk.h>

#include "identify_request.h"
#include "request_log.h"
#include "settings.h"


typedef struct DeviceExtension {
  const char *name;             /* as the program names it, for the log */
  const IdentifyRoute *route;   /* the one request this device takes */
  UNICODE_STRING link;          /* \DosDevices\... */
} DeviceExtension;

/* Per open handle: the case as it stood when the handle was opened. */
typedef struct OpenCase {
  DeviceMode mode;
  NTSTATUS fixture_status;
  unsigned char block[IDENTIFY_BLOCK_SIZE];
} OpenCase;

static const struct {
  const WCHAR *device;
  const WCHAR *link;
  const char *name;
  const IdentifyRoute *route;
} kDevices[] = {
    {L"\\Device\\TestDiskScsiPort0", L"\\DosDevices\\Scsi0:", "Scsi0:", &kNtRoute},
    {L"\\Device\\TestDiskSmart", L"\\DosDevices\\SMARTVSD", "SMARTVSD", &k9xRoute},
};

static NTSTATUS Complete(IRP *irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static FILE_OBJECT *FileOf(IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  return stack->FileObject ? stack->FileObject : irp->Tail.Overlay.OriginalFileObject;
}

static void LineDevice(LogLine *line, const char *word, DEVICE_OBJECT *device) {
  const DeviceExtension *extension = device->DeviceExtension;
  LineStart(line, word);
  LineText(line, "device", extension->name);
}

static NTSTATUS NTAPI DispatchCreate(DEVICE_OBJECT *device, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  FILE_OBJECT *file = FileOf(irp);
  OpenCase *open_case = NULL;
  NTSTATUS status = STATUS_SUCCESS;
  const DeviceMode mode = ReadMode();
  LogLine line;

  LineDevice(&line, "open", device);
  LineHex(&line, "share", stack->Parameters.Create.ShareAccess);
  LineHex(&line, "options", stack->Parameters.Create.Options);
  LineText(&line, "mode", ModeName(mode));

  if (mode == kModeRefuse) {
    status = STATUS_ACCESS_DENIED;
  } else if (!file) {
    status = STATUS_INVALID_PARAMETER;
  } else if (!(open_case = ExAllocatePoolWithTag(NonPagedPool, sizeof *open_case, POOL_TAG))) {
    status = STATUS_INSUFFICIENT_RESOURCES;
  } else {
    open_case->mode = mode;
    open_case->fixture_status =
        mode == kModeAnswer ? ReadFixture(open_case->block) : STATUS_SUCCESS;
    LineHex(&line, "fixture", (ULONG)open_case->fixture_status);
    file->FsContext = open_case;
  }
  LineHex(&line, "status", (ULONG)status);
  LineWrite(&line);
  return Complete(irp, status, 0);
}

static NTSTATUS NTAPI DispatchClose(DEVICE_OBJECT *device, IRP *irp) {
  FILE_OBJECT *file = FileOf(irp);
  LogLine line;
  LineDevice(&line, "close", device);
  LineWrite(&line);
  if (file && file->FsContext) {
    ExFreePoolWithTag(file->FsContext, POOL_TAG);
    file->FsContext = NULL;
  }
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchCleanup(DEVICE_OBJECT *device, IRP *irp) {
  (void)device;
  return Complete(irp, STATUS_SUCCESS, 0);
}

/* Names what is wrong with the request, or "good". Sizes come first, so no byte is read
 * that the caller did not send. */
static const char *JudgeRequest(const IdentifyRoute *route, const IO_STACK_LOCATION *stack,
                                const IRP *irp, char wrong_byte[24]) {
  static const char kPrefix[] = "wrong-byte-";
  const unsigned char *input = irp->AssociatedIrp.SystemBuffer;
  long at;
  ULONG i, n;
  char digits[10];

  if (stack->Parameters.DeviceIoControl.IoControlCode != route->code) return "wrong-code";
  if (stack->Parameters.DeviceIoControl.InputBufferLength != route->in_size) return "wrong-in-size";
  if (stack->Parameters.DeviceIoControl.OutputBufferLength != route->out_size)
    return "wrong-out-size";
  if (!input) return "no-buffer";
  at = FirstWrongByte(route, input);
  if (at < 0) return "good";

  for (i = 0; i < sizeof kPrefix - 1; ++i) wrong_byte[i] = kPrefix[i];
  n = 0;
  do {
    digits[n++] = (char)('0' + at % 10);
    at /= 10;
  } while (at);
  while (n) wrong_byte[i++] = digits[--n];
  wrong_byte[i] = 0;
  return wrong_byte;
}

static NTSTATUS NTAPI DispatchControl(DEVICE_OBJECT *device, IRP *irp) {
  const DeviceExtension *extension = device->DeviceExtension;
  const IdentifyRoute *route = extension->route;
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  FILE_OBJECT *file = FileOf(irp);
  const OpenCase *open_case = file ? file->FsContext : NULL;
  char wrong_byte[24];
  const char *verdict = JudgeRequest(route, stack, irp, wrong_byte);
  const char *reply = "none";
  NTSTATUS status = STATUS_INVALID_PARAMETER;
  ULONG_PTR information = 0;
  LogLine line;

  if (verdict[0] != 'g') {
    /* a wrong request never passes */
  } else if (!open_case) {
    status = STATUS_INVALID_HANDLE;
  } else if (open_case->mode == kModeFail) {
    status = STATUS_IO_DEVICE_ERROR;
    reply = "failed";
  } else if (open_case->mode == kModeUntouched) {
    status = STATUS_SUCCESS;
    reply = "untouched";
  } else if (open_case->mode != kModeAnswer) {
    status = STATUS_INVALID_DEVICE_STATE;
  } else if (!NT_SUCCESS(open_case->fixture_status)) {
    status = STATUS_DEVICE_NOT_READY;
    reply = "no-fixture";
  } else {
    WriteReply(route, irp->AssociatedIrp.SystemBuffer, open_case->block);
    status = STATUS_SUCCESS;
    information = route->out_size;
    reply = "block";
  }

  LineDevice(&line, "control", device);
  LineHex(&line, "code", stack->Parameters.DeviceIoControl.IoControlCode);
  LineDecimal(&line, "in", stack->Parameters.DeviceIoControl.InputBufferLength);
  LineDecimal(&line, "out", stack->Parameters.DeviceIoControl.OutputBufferLength);
  LineText(&line, "request", verdict);
  LineText(&line, "reply", reply);
  LineHex(&line, "status", (ULONG)status);
  LineWrite(&line);
  return Complete(irp, status, information);
}

static void RemoveDevices(DRIVER_OBJECT *driver) {
  while (driver->DeviceObject) {
    DEVICE_OBJECT *device = driver->DeviceObject;
    DeviceExtension *extension = device->DeviceExtension;
    if (extension->link.Buffer) IoDeleteSymbolicLink(&extension->link);
    IoDeleteDevice(device);  /* unlinks it from driver->DeviceObject */
  }
}

static void NTAPI Unload(DRIVER_OBJECT *driver) {
  RemoveDevices(driver);
  ForgetParametersKey();
}

static NTSTATUS AddDevice(DRIVER_OBJECT *driver, ULONG index) {
  UNICODE_STRING name;
  DEVICE_OBJECT *device;
  DeviceExtension *extension;
  NTSTATUS status;

  RtlInitUnicodeString(&name, kDevices[index].device);
  status = IoCreateDevice(driver, sizeof(DeviceExtension), &name, FILE_DEVICE_CONTROLLER, 0,
                          FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  extension = device->DeviceExtension;
  extension->name = kDevices[index].name;
  extension->route = kDevices[index].route;
  RtlInitUnicodeString(&extension->link, kDevices[index].link);
  status = IoCreateSymbolicLink(&extension->link, &name);
  if (!NT_SUCCESS(status)) extension->link.Buffer = NULL;  /* nothing to delete */
  device->Flags |= DO_BUFFERED_IO;
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  return status;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry_path) {
  ULONG i;
  NTSTATUS status = RememberParametersKey(registry_path);
  if (!NT_SUCCESS(status)) return status;

  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
  driver->DriverUnload = Unload;

  for (i = 0; i < sizeof kDevices / sizeof kDevices[0]; ++i) {
    status = AddDevice(driver, i);
    if (!NT_SUCCESS(status)) {
      Unload(driver);
      return status;
    }
  }
  return STATUS_SUCCESS;
}
