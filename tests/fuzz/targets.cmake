# The fuzz targets: tests/fuzz/<name>_fuzz.cpp each, with a committed seed corpus
# in tests/fuzz/corpus/<name>/. Shared by the host build, which builds and runs
# them, and by the main build, which registers their short runs with ctest.
set(VAKO_FUZZ_TARGETS
    ini
    settings
    quit_command
    integer
    command_line
    drop_files)
