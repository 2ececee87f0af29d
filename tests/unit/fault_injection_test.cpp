// Every operation that the readers and the identification run use fails in turn, at each
// of its calls: the run ends as the failure tables say (message, what each file holds,
// which file stays open), every device handle and registry key opened is closed exactly
// once, and nothing crashes. The window's own Win32 calls are not among these seams.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/identification_run.h"
#include "fake_device_io.h"
#include "fake_file_api.h"
#include "fake_memory_reader.h"
#include "fake_registry.h"
#include "fault_injection.h"
#include "identity/bios_readers.h"
#include "identity/drive_serial.h"
#include "platform/exceptions.h"

namespace {

using namespace std::string_literals;
using Op = Operation;

constexpr uint32_t kNt = 2;
constexpr uint32_t k9x = 1;

const std::string kT2 = kSerialAndDatePath;
const std::string kT3 = kBiosVersionPath;

// What the drive, the registry and the ROM hold on the machine of these cases.
const std::string kRawSerial = "  SERIAL-0123456789 ";  // 20 characters as the drive has them
const std::string kVersionHead = "LENOVO - 1140 | BIOS Date: 01/02/03 Ver: ";
// Long enough to be cut at 255 characters, so that its line fills the buffer twice.
const std::string kVersionData = "LENOVO - 1140\0BIOS Date: 01/02/03 Ver: "s +
                                 std::string(250, 'x') + "\0\0"s;
const std::string kVersion = kVersionHead + std::string(255 - kVersionHead.size(), 'x');

// Left by an earlier start.
const std::string kEarlierT2 = "EARLIER-SERIAL=01/01/01 and more than a new line holds\r\n";
const std::string kEarlierT3 = "earlier version\r\n";

// Whole lines of this machine.
const std::string kNtT2 = "SERIAL-0123456789=06/15/04\r\n";
const std::string kNtT3 = kVersion + "\r\n";
const std::string k9xT2 = "SERIAL-0123456789=12/31/99\r\n";
const std::string k9xT3 = "\r\n";

// The identification run's seams for one case: the fakes behind the fault decorators.
struct World {
  explicit World(uint32_t platform_family) : family(platform_family) {
    const size_t serial_in_output = family == kNt ? 64 : 36;
    device.reply = [serial_in_output](uint8_t* out, uint32_t) {
      for (size_t i = 0; i < kRawSerial.size(); ++i) {
        out[serial_in_output + (i ^ 1)] = static_cast<uint8_t>(kRawSerial[i]);
      }
    };
    registry.values[kSystemBiosDate] = {kRegSz, "06/15/04\0"s};
    registry.values[kSystemBiosVersion] = {kRegMultiSz, kVersionData};
    memory.bytes = "12-31-99";
    files.disk[kT2] = kEarlierT2;
    files.disk[kT3] = kEarlierT3;
  }

  uint32_t family;
  FaultPlan plan;
  FakeDeviceIo device;
  FakeRegistry registry;
  FakeMemoryReader memory;
  FakeFileApi files;
  FaultyDeviceIo faulty_device{device, plan};
  FaultyRegistry faulty_registry{registry, plan};
  FaultyMemoryReader faulty_memory{memory, plan};
  FaultyFileApi faulty_files{files, plan};
};

World* world = nullptr;

Text Serial() { return ReadDriveSerial(world->faulty_device, world->family); }
Text Date() {
  return ReadBiosDate(world->faulty_registry, world->faulty_memory, world->family);
}
Text Version() { return ReadBiosVersion(world->faulty_registry, world->family); }

struct Outcome {
  std::string message;  // empty when the run completed
  std::string t2, t3;   // the files' bytes afterwards
  std::set<std::string> open;  // the files still held open
};

Outcome Run(World& case_world) {
  world = &case_world;
  Outcome outcome;
  try {
    RunIdentification(case_world.faulty_files, {Serial, Date, Version});
  } catch (const Exception& error) {
    outcome.message = error.what();
  }
  world = nullptr;
  outcome.t2 = case_world.files.disk[kT2];
  outcome.t3 = case_world.files.disk[kT3];
  for (const auto& [handle, path] : case_world.files.open_files) outcome.open.insert(path);
  return outcome;
}

struct Expected {
  Op operation;
  int call;
  const char* message;
  std::string t2, t3;
  std::set<std::string> open;
};

const char* Name(Op operation) {
  switch (operation) {
    case Op::kDeviceOpen: return "device open";
    case Op::kDeviceControl: return "device control";
    case Op::kRegistryOpen: return "registry open";
    case Op::kRegistryQuery: return "registry size query";
    case Op::kRegistryRead: return "registry read";
    case Op::kMemoryRead: return "memory read";
    case Op::kFileCreate: return "file create";
    case Op::kFileWrite: return "file write";
    case Op::kFileClose: return "file close";
  }
  return "?";
}

// Counts the calls of a clean run, then fails each call of each operation in a fresh world
// and compares the outcome with the table's row for it. Every call the clean run makes
// needs a row, and every row must match a call, so that a new call site cannot go untested.
void FailEachCallInTurn(uint32_t family, const std::string& t2, const std::string& t3,
                        const std::vector<Expected>& table) {
  World clean(family);
  const Outcome completed = Run(clean);
  ASSERT_EQ(completed.message, "");
  ASSERT_EQ(completed.t2, t2);
  ASSERT_EQ(completed.t3, t3);
  ASSERT_TRUE(completed.open.empty());

  std::set<std::pair<Op, int>> covered;
  for (const auto& [operation, count] : clean.plan.calls) {
    for (int call = 1; call <= count; ++call) {
      SCOPED_TRACE(std::string(Name(operation)) + " call " + std::to_string(call) + " fails");
      const Expected* expected = nullptr;
      for (const Expected& row : table) {
        if (row.operation == operation && row.call == call) expected = &row;
      }
      if (expected == nullptr) {
        ADD_FAILURE() << "no outcome given for this failure";
        continue;
      }
      covered.insert({operation, call});

      World failing(family);
      failing.plan.operation = operation;
      failing.plan.call = call;
      const Outcome outcome = Run(failing);

      EXPECT_EQ(outcome.message, expected->message);
      EXPECT_EQ(outcome.t2, expected->t2);
      EXPECT_EQ(outcome.t3, expected->t3);
      EXPECT_EQ(outcome.open, expected->open);
      EXPECT_EQ(failing.device.closes,
                std::vector<DeviceHandle>(failing.device.opens.size(),
                                          failing.device.open_result));
      EXPECT_TRUE(failing.registry.EveryKeyClosedOnce());
    }
  }
  for (const Expected& row : table) {
    EXPECT_EQ(covered.count({row.operation, row.call}), 1u)
        << Name(row.operation) << " call " << row.call << ": the clean run makes no such call";
  }
}

TEST(FaultInjection, NtFamilyEachFailingCallEndsAsTheFailureTablesSay) {
  const std::string no_serial = "=06/15/04\r\n";
  const std::string no_date = "SERIAL-0123456789=\r\n";
  const std::string no_version = "\r\n";
  const std::vector<Expected> table = {
      // The readers turn a failure into empty text, ...
      {Op::kDeviceOpen, 1, "", no_serial, kNtT3, {}},
      {Op::kDeviceControl, 1, "", no_serial, kNtT3, {}},
      // ... the date's key opens with the next access mask when KEY_READ is refused, ...
      {Op::kRegistryOpen, 1, "", kNtT2, kNtT3, {}},
      {Op::kRegistryOpen, 2, "", kNtT2, no_version, {}},
      {Op::kRegistryQuery, 1, "", no_date, kNtT3, {}},
      {Op::kRegistryQuery, 2, "", kNtT2, no_version, {}},
      // ... but the date's data failing after its size was known raises.
      {Op::kRegistryRead, 1, "Failed to get data for 'SystemBiosDate'", "", kEarlierT3, {kT2}},
      {Op::kRegistryRead, 2, "", kNtT2, no_version, {}},
      {Op::kFileCreate, 1, "File access denied", kEarlierT2, kEarlierT3, {}},
      {Op::kFileCreate, 2, "File access denied", kNtT2, kEarlierT3, {}},
      // Each write takes one 128-byte buffer: the serial-and-date line at its close, then
      // the version line in two full buffers and its last byte.
      {Op::kFileWrite, 1, "I/O error 112", "", kEarlierT3, {kT2}},
      {Op::kFileWrite, 2, "I/O error 112", kNtT2, "", {kT3}},
      {Op::kFileWrite, 3, "I/O error 112", kNtT2, kNtT3.substr(0, 128), {kT3}},
      {Op::kFileWrite, 4, "I/O error 112", kNtT2, kNtT3.substr(0, 256), {kT3}},
      // A refused close leaves the file's line on disk and the handle with the process.
      {Op::kFileClose, 1, "I/O error 6", kNtT2, kEarlierT3, {kT2}},
      {Op::kFileClose, 2, "I/O error 6", kNtT2, kNtT3, {kT3}},
  };
  FailEachCallInTurn(kNt, kNtT2, kNtT3, table);
}

TEST(FaultInjection, NineXFamilyEachFailingCallEndsAsTheFailureTablesSay) {
  const std::vector<Expected> table = {
      {Op::kDeviceOpen, 1, "", "=12/31/99\r\n", k9xT3, {}},
      {Op::kDeviceControl, 1, "", "=12/31/99\r\n", k9xT3, {}},
      {Op::kMemoryRead, 1, "", "SERIAL-0123456789=XX.XX.XXXX\r\n", k9xT3, {}},
      {Op::kFileCreate, 1, "File access denied", kEarlierT2, kEarlierT3, {}},
      {Op::kFileCreate, 2, "File access denied", k9xT2, kEarlierT3, {}},
      {Op::kFileWrite, 1, "I/O error 112", "", kEarlierT3, {kT2}},
      {Op::kFileWrite, 2, "I/O error 112", k9xT2, "", {kT3}},
      {Op::kFileClose, 1, "I/O error 6", k9xT2, kEarlierT3, {kT2}},
      {Op::kFileClose, 2, "I/O error 6", k9xT2, k9xT3, {kT3}},
  };
  FailEachCallInTurn(k9x, k9xT2, k9xT3, table);
}

}  // namespace
