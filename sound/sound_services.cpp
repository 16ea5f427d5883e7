#include "frame/services.h"

// Start and release of the sound device and the sound-object table.

namespace ox::services {

void StartSound() {}
void ReleaseSound() {}

}  // namespace ox::services
