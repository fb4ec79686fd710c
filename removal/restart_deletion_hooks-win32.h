#pragma once
// What DeleteNowOrAtRestart asks of the system where a test must be able to answer differently:
// under Wine a held file always refuses deletion with a sharing violation (never "access denied"
// while held, as a mapped file does on Windows), and scheduling never fails.

#include <windows.h>

#include <cstdint>

#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "removal/restart_deletion.h"

namespace kc {

struct RestartDeletionHooks {
  ResultCode (*deleteFile)(const char* path, DeletionFailure& failure);  // DeleteTargetFile
  BOOL (*scheduleDeletion)(const char* path);  // MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)
};

const RestartDeletionHooks& SystemRestartDeletionHooks();

RemovalOutcome DeleteNowOrAtRestart(const char* path, const RestartDeletionHooks& hooks);

}  // namespace kc
