# Read by CTest after the discovered cli tests: they run with no display variables at all.
set_tests_properties(${cli_tests_TESTS} PROPERTIES
  ENVIRONMENT_MODIFICATION "DISPLAY=unset:;QT_QPA_PLATFORM=unset:;PANEL_EXPECT_HEADLESS=set:1")
