#include "app/viewer_command_line.h"

#include "quarnix_version.h"

std::string ViewerHelpText() {
    return "usage: quarnix [FILE]\n"
           "       quarnix --compare OLD NEW\n"
           "Quarnix " QUARNIX_VERSION ", a read-only viewer of RPG Maker XP data files (*.rxdata).\n"
           "  FILE        opened once the window shows\n"
           "  --compare OLD NEW  NEW opened, with what changed since OLD marked;\n"
           "                     two folders: the files they differ in listed\n"
           "  --help      this text\n"
           "  --version   the version\n"
           "用法：quarnix [文件]　　只读查看 RPG Maker XP 数据文件（*.rxdata），不写入任何内容。\n";
}

std::string ViewerVersionText() { return "quarnix " QUARNIX_VERSION "\n"; }
