// placeholder: writes the demo movie
#include <fstream>
int main(int argc, char** argv) { if (argc < 2) return 2; std::ofstream(argv[1], std::ios::binary); return 0; }
