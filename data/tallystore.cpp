// tallystore: being written.
