// Fault switches of the thread layer, so that the failure paths of the callers can be run.
#pragma once

namespace platform {

// Makes every CreateMutexW fail (ERROR_NOT_ENOUGH_MEMORY) until switched off again, so that the
// failure paths of the callers can be run.
void setMutexCreationFails(bool fails);
// The same for CreateThread.
void setThreadCreationFails(bool fails);

} // namespace platform
