# The fuzz targets, one per reader of outside input: fuzz/<name>.cpp defines
# LLVMFuzzerTestOneInput. Shared by the libFuzzer build (fuzz/CMakeLists.txt)
# and the replay of seeds and regression inputs in the test suite.
set(QELVRIN_FUZZ_TARGETS
  fuzz_line_reader
  fuzz_run_marker
  fuzz_settings
  fuzz_sdg_load
  fuzz_view_document
  fuzz_search_scan
  fuzz_print_pages
  fuzz_completion_check
)
