#pragma once
// The transmitter data file ELFTRANS.DTA: the twelve transmitter and contact fields
// of the data module, one line each, ended by CR LF. The client's copy lies in the
// client's directory and the general copy in the program directory; both are
// written together, and the client's copy is preferred when reading.

// Loads the current client's copy, or else the general copy, into the data module;
// a field whose line the file lacks becomes empty. The twelfth line (the 1099-INT
// choice) is read only by program versions that know it. Without either file the
// fields keep their values.
void ReadTransmitterData();
// Saves the fields to the client's copy (when a client is chosen) and to the
// general copy, each replaced whole. Raises EInOutError naming a copy that could
// not be written; the fields keep their values.
void WriteTransmitterData();
