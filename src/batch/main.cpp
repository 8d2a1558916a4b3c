#include "batch/BatchTool.h"

int main(int argc, char** argv) {
    return mvr::batch::RunBatchTool(std::vector<std::string>(argv + 1, argv + argc));
}
