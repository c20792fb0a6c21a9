#!/usr/bin/python3
"""A Modbus serial server from pymodbus, as an independent peer for our Modbus framing.

Holding register r starts at (r * 7 + 3) & 0xFFFF, so a client can predict every value.
"""
import argparse
import logging

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.framer.ascii_framer import ModbusAsciiFramer
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.server import StartSerialServer

REGISTERS = 0x800


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", required=True)
    parser.add_argument("--mode", choices=("rtu", "ascii"), required=True)
    parser.add_argument("--station", type=int, default=1)
    args = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    block = ModbusSequentialDataBlock(0, [(r * 7 + 3) & 0xFFFF for r in range(REGISTERS)])
    slave = ModbusSlaveContext(hr=block, zero_mode=True)
    context = ModbusServerContext(slaves={args.station: slave}, single=False)
    framer = ModbusRtuFramer if args.mode == "rtu" else ModbusAsciiFramer
    StartSerialServer(context=context, framer=framer, port=args.port, baudrate=9600,
                      bytesize=8, parity="N", stopbits=1)


if __name__ == "__main__":
    main()
