// test_inifile: being written.
