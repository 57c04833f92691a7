// test_tallystore: being written.
