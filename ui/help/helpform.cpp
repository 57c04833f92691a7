// helpform: being written.
