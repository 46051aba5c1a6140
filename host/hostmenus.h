#pragma once

class HostMainWindow;
class PackageLoader;

// The host's own menus and status line on its main window: opening the
// module's editor again, arranging the child windows, leaving; and the
// saved selection written whenever a child screen closes.
void setUpHostWindow(HostMainWindow &window, PackageLoader &module);
