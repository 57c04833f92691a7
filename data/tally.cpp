// tally: being written.
