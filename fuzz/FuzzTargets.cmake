# The fuzz targets, each name:source, and the support sources they share.
# Read by the fuzz build and by the normal test build, which runs the same
# sources without libFuzzer on the reproducers kept under regressions/.
set(MVR_FUZZ_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(MVR_FUZZ_SUPPORT_SOURCES
  support/FuzzServerData.cpp
  support/LoopbackPeer.cpp
  support/TempFolder.cpp)
set(MVR_FUZZ_TARGETS
  fuzz_user_answers:UserAnswerFuzzer.cpp
  fuzz_catalogue_answers:CatalogueAnswerFuzzer.cpp
  fuzz_instrument_answers:InstrumentAnswerFuzzer.cpp
  fuzz_instrument_record:InstrumentRecordFuzzer.cpp
  fuzz_price_answers:PriceAnswerFuzzer.cpp
  fuzz_definition_answer:DefinitionAnswerFuzzer.cpp
  fuzz_server_request:ServerRequestFuzzer.cpp
  fuzz_metastock_index:MetaStockIndexFuzzer.cpp
  fuzz_metastock_data:MetaStockDataFuzzer.cpp
  fuzz_ascii_data:AsciiDataFuzzer.cpp
  fuzz_ascii_index:AsciiIndexFuzzer.cpp
  fuzz_config_files:ConfigFilesFuzzer.cpp
  fuzz_legacy_formats:LegacyFormatsFuzzer.cpp
  fuzz_legacy_symbol_table:LegacySymbolTableFuzzer.cpp
  fuzz_legacy_master_file:LegacyMasterFileFuzzer.cpp
  fuzz_legacy_asc:LegacyAscFuzzer.cpp)
