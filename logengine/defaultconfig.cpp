#include "logengine/defaultconfig.h"

namespace FNLog {

namespace {

// The configuration the program starts its log engine with. Kept line by line so that
// the trailing blanks of some lines stay visible; the text is 1344 bytes long.
constexpr char kDefaultConfig[] = "\n"
                                  " # default channel 0\n"
                                  "   # write full log to pname.log \n"
                                  "   # write error log to pname_error.log \n"
                                  "   # view  info log to screen \n"
                                  " # sync channel 1 \n"
                                  "   # write full log to pname.log\n"
                                  "   # write info log to pname_info.log\n"
                                  "   # view  info log to screen \n"
                                  "\n"
                                  " - channel: 0\n"
                                  "    sync: async\n"
                                  "    -device: 0\n"
                                  "        disable: false\n"
                                  "        out_type: file\n"
                                  "        path: \"./datadb/log/\"\n"
                                  "        file: \"$YEAR$MON$DAY\"\n"
                                  "        stuff_up: true\n"
                                  "        rollback: 4\n"
                                  "        limit_size: 100 m #only support M byte\n"
                                  "    -device: 1\n"
                                  "        disable: false\n"
                                  "        out_type: file\n"
                                  "        priority: error\n"
                                  "        path: \"./datadb/log/\"\n"
                                  "        file: \"$YEAR$MON$DAY_error\"\n"
                                  "        stuff_up: true\n"
                                  "        rollback: 4\n"
                                  "        limit_size: 100 m #only support M byte\n"
                                  "    -device:2\n"
                                  "        disable: true\n"
                                  "        out_type: screen\n"
                                  "        priority: info\n"
                                  " - channel: 1\n"
                                  "    sync: sync\n"
                                  "    -device: 0\n"
                                  "        disable: false\n"
                                  "        out_type: file\n"
                                  "        path: \"./datadb/log/\"\n"
                                  "        file: \"$HOUR$MIN$SEC_sync\"\n"
                                  "        rollback: 4\n"
                                  "        limit_size: 100 m #only support M byte\n"
                                  "    -device: 1\n"
                                  "        disable: false\n"
                                  "        out_type: file\n"
                                  "        priority: info\n"
                                  "        path: \"./datadb/log/\"\n"
                                  "        file: \"$HOUR$MIN$SEC_sync_info\"\n"
                                  "        rollback: 4\n"
                                  "        limit_size: 100 m #only support M byte\n"
                                  "    -device:2\n"
                                  "        disable: true\n"
                                  "        out_type: screen\n"
                                  "        priority: info \n";

}  // namespace

std::string_view DefaultConfigText()
{
    return {kDefaultConfig, sizeof(kDefaultConfig) - 1};
}

}  // namespace FNLog
