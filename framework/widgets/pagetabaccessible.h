#pragma once

// Screen readers get the tabs of every tab bar with the state they are drawn
// in: a disabled tab reports disabled (the stock interface reports the tab
// bar's state for every tab). Installs the accessibility factory once; later
// calls do nothing.
void InstallPageTabAccessibility();
