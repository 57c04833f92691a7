// test_tally: being written.
