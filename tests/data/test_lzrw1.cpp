// test_lzrw1: being written.
