// see Table.cpp (temporary)
