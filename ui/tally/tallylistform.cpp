// tallylistform: being written.
