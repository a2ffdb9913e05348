#pragma once

namespace shell {

// Applies one of the application looks (command ids 205 to 219) to the whole
// program as a Qt style and palette. Unknown ids get the blue look.
void applyAppLook(int lookId);

}  // namespace shell
