#pragma once
// The dialogs of the screens that other screens open, registered with the program's services.

namespace ledgerix {

class QtScreenServices;

void RegisterScreens(QtScreenServices& services);

}  // namespace ledgerix
