// test_gridtext: being written.
